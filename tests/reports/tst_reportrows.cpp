// The report table DS, its row builders, the RTF escaping of user text and the report writer.
#include "reports/BlankAllValues.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"
#include "reports/RtfEscape.h"
#include "reports/TReporterException.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString PAR = QStringLiteral("\\par ");
const QString GAP = QStringLiteral(
    "{\\rtlch \\af1\\afs8 \\ltrch \\f1\\fs8\\insrsid2977295\\charrsid2977295   \\par}");

enum Column {
    SNO,
    TITLE,
    ADDRESS,
    ZIP,
    PHONE,
    FAX,
    MOBILE,
    UAN,
    EMAIL,
    WEB,
    PERSON,
    DESIGNATION,
    BUSINESS,
    DESCRIPTION
};

ContactRow contact() {
    ContactRow r;
    r.CNAM = QStringLiteral("Acme Traders");
    r.ADR = QStringLiteral("12 Mall Road");
    r.ZCD = QStringLiteral("54000");
    r.PHN = QStringLiteral("042-1234567");
    r.FAX = QStringLiteral("042-7654321");
    r.MOB = QStringLiteral("0300-1234567");
    r.UAN = QStringLiteral("111-222-333");
    r.EML = QStringLiteral("info@acme.pk");
    r.WEB = QStringLiteral("www.acme.pk");
    return r;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestReportRows : public QObject {
    Q_OBJECT

private slots:
    void tableLayouts();
    void fragmentsAreExact();
    void detailOfFullContact();
    void detailWithoutDesignation();
    void detailWithDesignation();
    void businessWithoutDescription();
    void descriptionWithoutBusiness();
    void blanksOnlyFieldsGiveNoText();
    void userTextIsEscaped_data();
    void userTextIsEscaped();
    void businessRowUsesContactLayout();
    void ptclRows();
    void reportRowsAreNumberedInGivenOrder();
    void blankAllValuesKeepsRows();
    void writerPathsAndBlanking();
};

void TestReportRows::tableLayouts() {
    ReportTable contactDs(ReportTable::Layout::Contact);
    QCOMPARE(contactDs.name(), QStringLiteral("DS"));
    QVERIFY(contactDs.isOpen());
    QStringList names;
    for (int i = 0; i < contactDs.fieldCount(); ++i)
        names << contactDs.field(i)->name();
    QCOMPARE(names, QStringList({"SNO", "TITLE", "ADDRESS", "ZIP CODE", "PHONE", "FAX", "MOBILE",
                                 "UAN", "EMAIL", "WEB SITE", "PERSON", "DESIGNATION", "BUSINESS",
                                 "DESCRIPTION"}));
    ReportTable ptclDs(ReportTable::Layout::Ptcl);
    names.clear();
    for (int i = 0; i < ptclDs.fieldCount(); ++i)
        names << ptclDs.field(i)->name();
    QCOMPARE(names, QStringList({"SNO", "PHONE", "TITLE", "ADDRESS"}));
    QVERIFY(contactDs.eof());
    QCOMPARE(contactDs.field(0)->displayText(), QString()); // no row: null, empty text
}

void TestReportRows::fragmentsAreExact() {
    QCOMPARE(ReportRows::PAR, PAR);
    QCOMPARE(ReportRows::PAR.size(), 5);
    QCOMPARE(ReportRows::GAP, GAP);
}

void TestReportRows::detailOfFullContact() {
    const QVariantList v = ReportRows::contactDetail(contact());
    QCOMPARE(v.size(), 14);
    QCOMPARE(v[SNO].toInt(), 0);
    QCOMPARE(v[SNO].typeId(), QMetaType::Int);
    QCOMPARE(v[TITLE].toString(), QStringLiteral("Acme Traders"));
    QCOMPARE(v[ADDRESS].toString(), PAR + "12 Mall Road");
    QCOMPARE(v[ZIP].toString(), QStringLiteral("(54000)"));
    QCOMPARE(v[PHONE].toString(), PAR + "Phone   : 042-1234567");
    QCOMPARE(v[FAX].toString(), PAR + "Fax     : 042-7654321");
    QCOMPARE(v[MOBILE].toString(), PAR + "Mobile  : 0300-1234567");
    QCOMPARE(v[UAN].toString(), PAR + "U.A.N   : 111-222-333");
    QCOMPARE(v[EMAIL].toString(), PAR + "E-Mail  : info@acme.pk");
    QCOMPARE(v[WEB].toString(), PAR + "Website : www.acme.pk");
    QCOMPARE(v[PERSON].toString(), QString());
    QCOMPARE(v[DESIGNATION].toString(), QString());
    QCOMPARE(v[BUSINESS].toString(), QString());
    QCOMPARE(v[DESCRIPTION].toString(), QString());
}

void TestReportRows::detailWithoutDesignation() {
    ContactRow r;
    r.CNAM = QStringLiteral("X");
    r.PNAM = QStringLiteral("Ali");
    const QVariantList v = ReportRows::contactDetail(r);
    QCOMPARE(v[ADDRESS].toString(), QString());
    QCOMPARE(v[ZIP].toString(), QString());
    QCOMPARE(v[DESIGNATION].toString(), QString());
    QCOMPARE(v[PERSON].toString(), PAR + GAP + "Ali");
}

void TestReportRows::detailWithDesignation() {
    ContactRow r;
    r.PNAM = QStringLiteral("Ali");
    r.PDSG = QStringLiteral("Manager");
    QVariantList v = ReportRows::contactDetail(r);
    QCOMPARE(v[DESIGNATION].toString(), PAR + GAP + "Manager");
    QCOMPARE(v[PERSON].toString(), QStringLiteral(" Ali"));
    // A designation without a person still gives the person's leading blank.
    r.PNAM.clear();
    v = ReportRows::contactDetail(r);
    QCOMPARE(v[PERSON].toString(), QStringLiteral(" "));
    QCOMPARE(ReportRows::contactReport(r, 1)[PERSON].toString(), QStringLiteral(" "));
}

void TestReportRows::businessWithoutDescription() {
    ContactRow r;
    r.BTP = QStringLiteral("Textiles");
    const QVariantList v = ReportRows::contactDetail(r);
    QCOMPARE(v[BUSINESS].toString(), PAR + GAP + "Textiles");
    QCOMPARE(v[DESCRIPTION].toString(), PAR);
    r.BDS = QStringLiteral("Cotton yarn");
    QCOMPARE(ReportRows::contactDetail(r)[DESCRIPTION].toString(), PAR + "Cotton yarn");
}

void TestReportRows::descriptionWithoutBusiness() {
    ContactRow r;
    r.BDS = QStringLiteral("Cotton yarn");
    const QVariantList v = ReportRows::contactDetail(r);
    QCOMPARE(v[BUSINESS].toString(), QString());
    QCOMPARE(v[DESCRIPTION].toString(), PAR + GAP + "Cotton yarn");
}

void TestReportRows::blanksOnlyFieldsGiveNoText() {
    ContactRow r;
    r.PHN = QStringLiteral("   ");
    r.ADR = QStringLiteral(" \t ");
    r.ZCD = QStringLiteral(" ");
    r.PNAM = QStringLiteral("Ali");
    r.PDSG = QStringLiteral("  ");
    r.BTP = QStringLiteral("\t");
    r.BDS = QStringLiteral(" ");
    const QVariantList v = ReportRows::contactDetail(r);
    QCOMPARE(v[PHONE].toString(), QString());
    QCOMPARE(v[ADDRESS].toString(), QString());
    QCOMPARE(v[ZIP].toString(), QString());
    QCOMPARE(v[DESIGNATION].toString(), QString());
    QCOMPARE(v[PERSON].toString(), PAR + GAP + "Ali");
    QCOMPARE(v[BUSINESS].toString(), QString());
    QCOMPARE(v[DESCRIPTION].toString(), QString());
    // Report rows copy the fields as they are.
    QCOMPARE(ReportRows::contactReport(r, 1)[PHONE].toString(), QStringLiteral("   "));
    QCOMPARE(ReportRows::contactReport(r, 1)[ZIP].toString(), QString());
}

void TestReportRows::userTextIsEscaped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rtf");
    QTest::newRow("plain") << "Mall Road 12"
                           << "Mall Road 12";
    QTest::newRow("backslash") << "C:\\x"
                               << "C:\\\\x";
    QTest::newRow("braces") << "{a}"
                            << "\\{a\\}";
    QTest::newRow("latin-1") << QString::fromLatin1("Caf\xe9 \xff") << "Caf\\'e9 \\'ff";
    QTest::newRow("128 to 159") << QString::fromLatin1("a\x80\x9f\xa0") << "a\\u128?\\u159?\\'a0";
    QTest::newRow("outside latin-1")
        << QString::fromUtf8("a\u20acb\U0001F600c") << "a\\u8364?b\\u-10179?\\u-8704?c";
    QTest::newRow("urdu with backslash")
        << QStringLiteral("لا\\ہور") << "\\u1604?\\u1575?\\\\\\u1729?\\u1608?\\u1585?";
    QTest::newRow("line breaks") << "a\r\nb\nc\rd"
                                 << "a\\par b\\par c\\par d";
    QTest::newRow("tab") << "a\tb"
                         << "a\\tab b";
    QTest::newRow("tag lookalike") << "\\{DS.TITLE\\}"
                                   << "\\\\\\{DS.TITLE\\\\\\}";
}

void TestReportRows::userTextIsEscaped() {
    QFETCH(QString, text);
    QFETCH(QString, rtf);
    QCOMPARE(RtfEscape::escape(text), rtf);
    ContactRow r;
    r.CNAM = text;
    r.ADR = text;
    QCOMPARE(ReportRows::contactDetail(r)[TITLE].toString(), rtf);
    QCOMPARE(ReportRows::contactDetail(r)[ADDRESS].toString(), PAR + rtf);
    QCOMPARE(ReportRows::contactReport(r, 1)[ADDRESS].toString(), rtf);
}

void TestReportRows::businessRowUsesContactLayout() {
    BusinessRow b;
    static_cast<ContactRow&>(b) = contact();
    b.PDSG = QStringLiteral("CEO");
    b.PNAM = QStringLiteral("Sara");
    b.RowColour = QStringLiteral("#FFEEDD");
    ReportTable ds(ReportTable::Layout::Contact);
    ReportRows::fillContactDetail(ds, b);
    QCOMPARE(ds.rowCount(), 1);
    QCOMPARE(ds.valueAt(0, PERSON).toString(), QStringLiteral(" Sara"));
    QCOMPARE(ds.valueAt(0, DESIGNATION).toString(), PAR + GAP + "CEO");
}

void TestReportRows::ptclRows() {
    PtclRow r;
    r.PHN = QStringLiteral("0421234567");
    r.CNAM = QStringLiteral("M. Aslam");
    r.ADR = QStringLiteral("House 5, Street 2");
    QVariantList v = ReportRows::ptclDetail(r);
    QCOMPARE(v, QVariantList({0, QStringLiteral("0421234567"), PAR + GAP + "M. Aslam",
                              PAR + "Address : House 5, Street 2"}));
    r.CNAM = QStringLiteral(" ");
    r.ADR.clear();
    v = ReportRows::ptclDetail(r);
    QCOMPARE(v[2].toString(), QString());
    QCOMPARE(v[3].toString(), QString());
    QCOMPARE(ReportRows::ptclReport(r, 3),
             QVariantList({3, QStringLiteral("0421234567"), QStringLiteral(" "), QString()}));
}

void TestReportRows::reportRowsAreNumberedInGivenOrder() {
    ContactRow a = contact(), b = contact(), c = contact();
    a.CNAM = "A";
    b.CNAM = "B";
    c.CNAM = "C";
    c.PDSG = "Owner";
    c.PNAM = "Zain";
    ReportTable ds(ReportTable::Layout::Contact);
    ds.appendRow(ReportRows::contactDetail(a)); // replaced by the report rows
    ReportRows::fillContactReport(ds, {&a, &b, &c});
    QCOMPARE(ds.rowCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(ds.valueAt(i, SNO), QVariant(i + 1));
        QCOMPARE(ds.valueAt(i, TITLE).toString(), QString(QChar('A' + i)));
    }
    QCOMPARE(ds.valueAt(0, ADDRESS).toString(), QStringLiteral("12 Mall Road"));
    QCOMPARE(ds.valueAt(0, ZIP).toString(), QStringLiteral("(54000)"));
    QCOMPARE(ds.valueAt(0, PHONE).toString(), QStringLiteral("042-1234567"));
    QCOMPARE(ds.valueAt(2, PERSON).toString(), QStringLiteral(" Zain"));
    QCOMPARE(ds.valueAt(2, DESIGNATION).toString(), QStringLiteral("Owner"));

    ReportTable ptcl(ReportTable::Layout::Ptcl);
    PtclRow p1, p2;
    p1.CNAM = "one";
    p2.CNAM = "two";
    ReportRows::fillPtclReport(ptcl, {&p2, &p1});
    QCOMPARE(ptcl.valueAt(0, 2).toString(), QStringLiteral("two"));
    QCOMPARE(ptcl.valueAt(1, 0), QVariant(2));
}

void TestReportRows::blankAllValuesKeepsRows() {
    ReportTable ds(ReportTable::Layout::Ptcl);
    BlankAllValues(ds); // empty table stays empty
    QCOMPARE(ds.rowCount(), 0);
    ds.appendRow({1, "a", "b", QVariant()});
    ds.appendRow({2, "c", "d", "e"});
    BlankAllValues(ds);
    QCOMPARE(ds.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 4; ++col) {
            const QVariant v = ds.valueAt(row, col);
            QCOMPARE(v.typeId(), QMetaType::QString);
            QCOMPARE(v.toString(), QString());
        }
    }
}

void TestReportRows::writerPathsAndBlanking() {
    QCOMPARE(ReportWriter::templateFile("PD", ReportWriter::Use::Detail),
             QStringLiteral("../templates/PD_DV.TEMPLATE.RTF"));
    QCOMPARE(ReportWriter::templateFile("FD", ReportWriter::Use::Report),
             QStringLiteral("../templates/FD_RP.TEMPLATE.RTF"));
    QCOMPARE(ReportWriter::outputFile("BD", ReportWriter::Use::Detail),
             QStringLiteral("../reports/BD_DV.RTF"));
    QCOMPARE(ReportWriter::outputFile("BD", ReportWriter::Use::Report),
             QStringLiteral("../reports/BD_RP.RTF"));

    QTemporaryDir dir;
    writeFile(dir.filePath("ok.rtf"), "{\\rtf1 \\{for DS\\}\\{DS.SNO\\}:\\{DS.TITLE\\} \\{end\\}}");
    writeFile(dir.filePath("bad.rtf"), "{\\rtf1 \\{DS.TITLE\\}\\{DS.NOPE\\}}");
    ReportTable ds(ReportTable::Layout::Ptcl);
    PtclRow a, b;
    a.CNAM = "a{";
    b.CNAM = "b";
    ReportRows::fillPtclReport(ds, {&a, &b});
    ReportWriter::writeAndBlank(ds, dir.filePath("ok.rtf"), dir.filePath("out.rtf"));
    QCOMPARE(readFile(dir.filePath("out.rtf")), QByteArray("{\\rtf1 1:a\\{ 2:b }"));
    QCOMPARE(ds.rowCount(), 2);
    QCOMPARE(ds.valueAt(0, 2).toString(), QString());

    ReportRows::fillPtclDetail(ds, a);
    try {
        ReportWriter::writeAndBlank(ds, dir.filePath("bad.rtf"), dir.filePath("out.rtf"));
        QFAIL("no error");
    } catch (const TReporterException& e) {
        QCOMPARE(e.message(), QStringLiteral("Can't evaluate tag \"DS.NOPE\".\rCheck template!"));
    }
    // After a fault the row keeps its values.
    QCOMPARE(ds.valueAt(0, 2).toString(), PAR + GAP + "a\\{");
}

QTEST_GUILESS_MAIN(TestReportRows)
#include "tst_reportrows.moc"
