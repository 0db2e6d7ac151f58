#include "reports/ReportRows.h"

#include "app/Helpers.h"
#include "reports/ReportTable.h"
#include "reports/RtfEscape.h"

const QString ReportRows::PAR = QStringLiteral("\\par ");
const QString ReportRows::GAP = QStringLiteral(
    "{\\rtlch \\af1\\afs8 \\ltrch \\f1\\fs8\\insrsid2977295\\charrsid2977295   \\par}");

namespace {

QString esc(const QString& text) {
    return RtfEscape::escape(text);
}

// The value when the field has text, else empty.
QString whenText(const QString& field, const QString& value) {
    return IfHasText(field, value, QString());
}

QString labelled(const QString& field, const char* label) {
    return whenText(field, ReportRows::PAR + QLatin1String(label) + esc(field));
}

QString zipCode(const QString& zcd) {
    return whenText(zcd, u'(' + esc(zcd) + u')');
}

} // namespace

QVariantList ReportRows::contactDetail(const ContactRow& r) {
    QString person;
    if (HasText(r.PDSG))
        person = u' ' + esc(r.PNAM);
    else if (HasText(r.PNAM))
        person = PAR + GAP + esc(r.PNAM);
    QString description;
    if (HasText(r.BTP))
        description = PAR + esc(r.BDS);
    else if (HasText(r.BDS))
        description = PAR + GAP + esc(r.BDS);
    return {0,
            esc(r.CNAM),
            whenText(r.ADR, PAR + esc(r.ADR)),
            zipCode(r.ZCD),
            labelled(r.PHN, "Phone   : "),
            labelled(r.FAX, "Fax     : "),
            labelled(r.MOB, "Mobile  : "),
            labelled(r.UAN, "U.A.N   : "),
            labelled(r.EML, "E-Mail  : "),
            labelled(r.WEB, "Website : "),
            person,
            whenText(r.PDSG, PAR + GAP + esc(r.PDSG)),
            whenText(r.BTP, PAR + GAP + esc(r.BTP)),
            description};
}

QVariantList ReportRows::contactReport(const ContactRow& r, int serial) {
    return {serial,
            esc(r.CNAM),
            esc(r.ADR),
            zipCode(r.ZCD),
            esc(r.PHN),
            esc(r.FAX),
            esc(r.MOB),
            esc(r.UAN),
            esc(r.EML),
            esc(r.WEB),
            HasText(r.PDSG) ? u' ' + esc(r.PNAM) : esc(r.PNAM),
            esc(r.PDSG),
            esc(r.BTP),
            esc(r.BDS)};
}

QVariantList ReportRows::ptclDetail(const PtclRow& r) {
    return {0, esc(r.PHN), whenText(r.CNAM, PAR + GAP + esc(r.CNAM)),
            labelled(r.ADR, "Address : ")};
}

QVariantList ReportRows::ptclReport(const PtclRow& r, int serial) {
    return {serial, esc(r.PHN), esc(r.CNAM), esc(r.ADR)};
}

void ReportRows::fillContactDetail(ReportTable& ds, const ContactRow& row) {
    ds.removeAllRows();
    ds.appendRow(contactDetail(row));
}

void ReportRows::fillPtclDetail(ReportTable& ds, const PtclRow& row) {
    ds.removeAllRows();
    ds.appendRow(ptclDetail(row));
}

void ReportRows::fillContactReport(ReportTable& ds, const QList<const ContactRow*>& rows) {
    ds.removeAllRows();
    int serial = 0;
    for (const ContactRow* row : rows)
        ds.appendRow(contactReport(*row, ++serial));
}

void ReportRows::fillPtclReport(ReportTable& ds, const QList<const PtclRow*>& rows) {
    ds.removeAllRows();
    int serial = 0;
    for (const PtclRow* row : rows)
        ds.appendRow(ptclReport(*row, ++serial));
}
