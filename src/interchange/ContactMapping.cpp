#include "interchange/ContactMapping.h"

#include <QHash>

namespace {
using Kind = CardValue::Kind;

QString joined(const QStringList& parts, const QString& separator) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    return kept.join(separator);
}

QString typesText(const CardValue& v) {
    QStringList shown;
    for (const QString& t : v.types)
        if (t != QLatin1String("pref") && t != QLatin1String("internet") &&
            t != QLatin1String("voice") && !t.startsWith(QLatin1String("x-")) &&
            !t.startsWith(QLatin1String("pref=")))
            shown << t;
    return shown.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(shown.join(u','));
}

// One "Label: value" line of the description; type words the label already says are left out.
QString line(const QString& label, const CardValue& v, const QString& value) {
    CardValue shown = v;
    shown.types.removeAll(label.toLower());
    return label + typesText(shown) + QStringLiteral(": ") + value;
}

void appendNumber(QString& field, const QString& number) {
    if (number.isEmpty())
        return;
    if (!field.isEmpty())
        field += u',';
    field += number;
}

// An address as one line: PO box, street, extended address, locality, region and country
// joined with ", ", the locality left out when it names a city of the list (CCD holds it).
QString addressLine(const QStringList& c, bool withLocality) {
    QStringList parts{c.value(0), c.value(2), c.value(1)};
    if (withLocality)
        parts << c.value(3);
    parts << c.value(4) << c.value(6);
    QString text = joined(parts, QStringLiteral(", "));
    text.replace(QLatin1String("\n"), QLatin1String(", "));
    return text;
}

QString nameGivenFamily(const CardValue& n) {
    return joined({n.components.value(1), n.components.value(2), n.components.value(0)},
                  QStringLiteral(" "));
}

void setColumn(ContactRow& row, const QString& column, const QString& value, QString& city) {
    static const QHash<QString, QString ContactRow::*> columns{
        {QStringLiteral("CNAM"), &ContactRow::CNAM}, {QStringLiteral("PNAM"), &ContactRow::PNAM},
        {QStringLiteral("PDSG"), &ContactRow::PDSG}, {QStringLiteral("ADR"), &ContactRow::ADR},
        {QStringLiteral("ZCD"), &ContactRow::ZCD},   {QStringLiteral("PHN"), &ContactRow::PHN},
        {QStringLiteral("MOB"), &ContactRow::MOB},   {QStringLiteral("UAN"), &ContactRow::UAN},
        {QStringLiteral("FAX"), &ContactRow::FAX},   {QStringLiteral("EML"), &ContactRow::EML},
        {QStringLiteral("WEB"), &ContactRow::WEB},   {QStringLiteral("BTP"), &ContactRow::BTP},
        {QStringLiteral("BDS"), &ContactRow::BDS}};
    if (column == QLatin1String("CITY")) {
        city = value.trimmed();
        return;
    }
    const auto it = columns.constFind(column);
    if (it != columns.constEnd() && (row.*(*it)).isEmpty())
        row.*(*it) = value;
}
} // namespace

ContactRow ContactMapping::toRow(const ContactCard& card, const CityLookup& city) {
    ContactRow row;
    QStringList notes, other, categories;
    const CardValue *org = nullptr, *fn = nullptr, *name = nullptr, *title = nullptr,
                    *role = nullptr, *address = nullptr;
    QString cityName;
    bool columnsGiven = false;
    for (const CardValue& v : card.values) {
        switch (v.kind) {
        case Kind::Org:
            if (!org && !v.components.value(0).trimmed().isEmpty())
                org = &v;
            else if (!joined(v.components, ", ").isEmpty())
                other << line(QStringLiteral("Organization"), v, joined(v.components, ", "));
            break;
        case Kind::FormattedName:
            if (!fn && !v.value.trimmed().isEmpty())
                fn = &v;
            else if (!v.value.trimmed().isEmpty())
                other << line(QStringLiteral("Name"), v, v.value.trimmed());
            break;
        case Kind::Name:
            if (!name && !nameGivenFamily(v).isEmpty())
                name = &v;
            break;
        case Kind::Title:
            if (!title && !v.value.trimmed().isEmpty())
                title = &v;
            else if (!v.value.trimmed().isEmpty())
                other << line(QStringLiteral("Title"), v, v.value.trimmed());
            break;
        case Kind::Role:
            if (!role && !v.value.trimmed().isEmpty())
                role = &v;
            else if (!v.value.trimmed().isEmpty())
                other << line(QStringLiteral("Role"), v, v.value.trimmed());
            break;
        case Kind::Address:
            if (joined(v.components, ", ").isEmpty())
                break;
            if (!address || (v.hasType("work") && !address->hasType("work")))
                address = &v;
            break;
        case Kind::Tel:
            if (v.value.isEmpty())
                break;
            if (v.hasType("x-uan"))
                appendNumber(row.UAN, v.value);
            else if (v.hasType("fax"))
                appendNumber(row.FAX, v.value);
            else if (v.hasType("pager"))
                other << line(QStringLiteral("Pager"), v, v.value);
            else if (v.hasType("cell"))
                appendNumber(row.MOB, v.value);
            else
                appendNumber(row.PHN, v.value);
            break;
        case Kind::Email:
            if (v.value.isEmpty())
                break;
            if (row.EML.isEmpty())
                row.EML = v.value;
            else
                other << line(v.label.isEmpty() ? QStringLiteral("E-Mail") : v.label, v, v.value);
            break;
        case Kind::Url:
            if (v.value.isEmpty())
                break;
            if (row.WEB.isEmpty())
                row.WEB = v.value;
            else
                other << line(v.label.isEmpty() ? QStringLiteral("Website") : v.label, v, v.value);
            break;
        case Kind::Categories:
            for (const QString& c : v.components)
                if (!c.trimmed().isEmpty())
                    categories << c.trimmed();
            break;
        case Kind::Note:
            if (!v.value.trimmed().isEmpty())
                notes << v.value;
            break;
        case Kind::Column:
            columnsGiven = true;
            setColumn(row, v.label, v.value, cityName);
            break;
        case Kind::Other:
            other << line(v.label, v, v.value);
            break;
        }
    }
    // Title: the organisation, else the formatted name, else "given family".
    if (!columnsGiven || row.CNAM.isEmpty()) {
        if (org)
            row.CNAM = org->components.value(0).trimmed();
        else if (fn)
            row.CNAM = fn->value.trimmed();
        else if (name)
            row.CNAM = nameGivenFamily(*name);
    }
    if (org) {
        const QString units = joined(org->components.mid(1), QStringLiteral(", "));
        if (!units.isEmpty())
            other.prepend(QStringLiteral("Department: ") + units);
        const QString person = fn ? fn->value.trimmed() : name ? nameGivenFamily(*name) : QString();
        if (row.PNAM.isEmpty() && person.compare(row.CNAM, Qt::CaseInsensitive) != 0)
            row.PNAM = person;
    }
    if (row.PDSG.isEmpty()) {
        if (title)
            row.PDSG = title->value.trimmed();
        else if (role)
            row.PDSG = role->value.trimmed();
    }
    if (title && role)
        other.prepend(QStringLiteral("Role: ") + role->value.trimmed());
    for (const CardValue& v : card.values)
        if (v.kind == Kind::Address && &v != address && !joined(v.components, ", ").isEmpty())
            other << line(v.label.isEmpty() ? QStringLiteral("Address") : v.label, v,
                          joined({addressLine(v.components, true), v.components.value(5)},
                                 QStringLiteral(", ")));
    if (address) {
        const QString locality = address->components.value(3).trimmed();
        const int cd = locality.isEmpty() ? 0 : city(locality);
        row.CCD = cd;
        if (row.ADR.isEmpty())
            row.ADR = addressLine(address->components, cd == 0);
        if (row.ZCD.isEmpty())
            row.ZCD = address->components.value(5).trimmed();
    }
    if (!cityName.isEmpty()) {
        row.CCD = city(cityName);
        if (row.CCD == 0)
            other << QStringLiteral("City: ") + cityName;
    }
    if (row.BTP.isEmpty())
        row.BTP = categories.join(QStringLiteral(", "));
    if (!other.isEmpty() || !notes.isEmpty()) {
        QStringList description = notes;
        if (!row.BDS.isEmpty())
            description.prepend(row.BDS);
        description << other;
        row.BDS = description.join(u'\n');
    }
    // A card with no name at all is titled by its first address of any kind.
    if (row.CNAM.isEmpty()) {
        for (const QString* f : {&row.EML, &row.PHN, &row.MOB, &row.UAN, &row.FAX, &row.WEB})
            if (!f->isEmpty()) {
                row.CNAM = f->section(u',', 0, 0).trimmed();
                break;
            }
    }
    return row;
}

QString ContactMapping::firstNumberDigits(const ContactRow& row) {
    const QString& field = row.PHN.isEmpty() ? row.MOB : row.PHN;
    QString digits;
    for (const QChar c : field.section(u',', 0, 0))
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    return digits;
}
