// The six shipped templates run through the engine over sample rows, and their outputs read back
// with the detail pane's RTF reader.
#include "SampleRows.h"
#include "reports/BlankAllValues.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"
#include "reports/RtfReader.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

namespace {

QString templatePath(const QString& name) {
    return QStringLiteral(TK_SOURCE_DIR "/templates/") + name + QStringLiteral(".TEMPLATE.RTF");
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Brace depth over the document, escapes skipped: never negative, zero at the end.
bool balanced(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

QStringList lines(const QTextDocument& doc) {
    return doc.toPlainText().split(u'\n');
}

QString cellText(QTextTable* table, int row, int column) {
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText();
}

} // namespace

class TestTemplates : public QObject {
    Q_OBJECT

private slots:
    void init();
    void contactDetail_data();
    void contactDetail();
    void sparseContactDetail();
    void ptclDetail();
    void contactReport_data();
    void contactReport();
    void ptclReport();
    void emptyAndBlankedTables_data();
    void emptyAndBlankedTables();
    void otherScriptsFormattedAlike_data();
    void otherScriptsFormattedAlike();

private:
    QString run(ReportTable& ds, const QString& name, QTextDocument& doc);
    QTemporaryDir m_dir;
};

void TestTemplates::init() {
    QVERIFY(m_dir.isValid());
}

QString TestTemplates::run(ReportTable& ds, const QString& name, QTextDocument& doc) {
    const QString out = m_dir.filePath(name + QStringLiteral(".RTF"));
    ReportWriter::writeAndBlank(ds, templatePath(name), out);
    const QByteArray rtf = readFile(out);
    if (!rtf.startsWith("{\\rtf1"))
        return QStringLiteral("not RTF");
    if (!balanced(rtf))
        return QStringLiteral("unbalanced braces");
    if (rtf.contains("\\{DS.") || rtf.contains("\\{for") || rtf.contains("\\{end"))
        return QStringLiteral("tag left in output");
    RtfReader::read(rtf, &doc);
    return QString();
}

void TestTemplates::contactDetail_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("personal") << "PD_DV";
    QTest::newRow("business") << "BD_DV";
}

void TestTemplates::contactDetail() {
    QFETCH(QString, name);
    ReportTable ds(ReportTable::Layout::Contact);
    ReportRows::fillContactDetail(ds, SampleRows::fullContact());
    QTextDocument doc;
    QCOMPARE(run(ds, name, doc), QString());
    const QStringList l = lines(doc);
    QCOMPARE(l.value(0), QStringLiteral("Crescent Textile Mills"));
    QCOMPARE(l.value(1), QStringLiteral("45-B Industrial Estate, Kot Lakhpat, Lahore (54770)"));
    QCOMPARE(l.value(2), QStringLiteral("Phone   : 042-35112233, 042-35112234"));
    QCOMPARE(l.value(3), QStringLiteral("Fax     : 042-35112235"));
    QCOMPARE(l.value(4), QStringLiteral("Mobile  : 0300-8456123"));
    QCOMPARE(l.value(5), QStringLiteral("U.A.N   : 111-222-333"));
    QCOMPARE(l.value(6), QStringLiteral("E-Mail  : sales@crescent.example"));
    QCOMPARE(l.value(7), QStringLiteral("Website : www.crescent.example"));
    QCOMPARE(l.value(8).trimmed(), QString()); // gap
    QCOMPARE(l.value(9), QStringLiteral("Sales Manager Ali Raza"));
    QCOMPARE(l.value(10).trimmed(), QString()); // gap
    QCOMPARE(l.value(11), QStringLiteral("Textile manufacturer"));
    QCOMPARE(l.value(12), QStringLiteral("Cotton yarn, grey cloth and finished fabrics."));
    QCOMPARE(l.value(13), QString::fromLatin1("Export {quality} since 1962 \xb7 Caf\xe9 d\xe9"
                                              "cor \\ linen."));
    QCOMPARE(l.size(), 14);
    // The title is the largest and bold; the contact lines are fixed-pitch so the colons align.
    const QTextCharFormat title = doc.begin().begin().fragment().charFormat();
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QVERIFY(title.fontPointSize() >= 13);
    QCOMPARE(doc.find("Phone").charFormat().fontStyleHint(), QFont::Monospace);
    QCOMPARE(doc.find("Website").charFormat().fontStyleHint(), QFont::Monospace);
    QVERIFY(doc.find("Ali Raza").charFormat().fontWeight() == QFont::Bold);
    // The gap paragraphs are small.
    QVERIFY(doc.findBlockByNumber(8).begin().fragment().charFormat().fontPointSize() <= 4);
}

void TestTemplates::sparseContactDetail() {
    ReportTable ds(ReportTable::Layout::Contact);
    ReportRows::fillContactDetail(ds, SampleRows::sparseContact());
    QTextDocument doc;
    QCOMPARE(run(ds, "PD_DV", doc), QString());
    QCOMPARE(lines(doc), QStringList({"Dr. Sana Qureshi", "House 12, Street 4, F-7/2, Islamabad ",
                                      "Phone   : 051-2654321", "E-Mail  : sana@clinic.example",
                                      "  ", "Bilal (assistant)"}));
}

void TestTemplates::ptclDetail() {
    ReportTable ds(ReportTable::Layout::Ptcl);
    ReportRows::fillPtclDetail(ds, SampleRows::ptcl(0));
    QTextDocument doc;
    QCOMPARE(run(ds, "FD_DV", doc), QString());
    QCOMPARE(lines(doc), QStringList({"0427000000", "  ", "Muhammad Aslam 1",
                                      "Address : House 3, Street 9, Samanabad, Lahore"}));
    QCOMPARE(doc.begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
}

void TestTemplates::contactReport_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("heading");
    QTest::newRow("personal") << "PD_RP"
                              << "Personal Directory";
    QTest::newRow("business") << "BD_RP"
                              << "Business Directory";
}

void TestTemplates::contactReport() {
    QFETCH(QString, name);
    QFETCH(QString, heading);
    const QList<ContactRow> rows = SampleRows::contacts(25);
    const ContactRow full = SampleRows::fullContact();
    QList<const ContactRow*> selected{&full};
    for (const ContactRow& r : rows)
        selected << &r;
    ReportTable ds(ReportTable::Layout::Contact);
    ReportRows::fillContactReport(ds, selected);
    QTextDocument doc;
    QCOMPARE(run(ds, name, doc), QString());
    const QStringList l = lines(doc);
    QCOMPARE(l.value(0), heading);
    QVERIFY(l.value(1).contains(QStringLiteral("printed ")));
    QVERIFY2(!l.value(1).contains("\\{"), qPrintable(l.value(1)));
    QCOMPARE(l.last(), QStringLiteral("Entries listed: 26"));

    QTextTable* table = doc.find(QStringLiteral("Crescent Textile Mills")).currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), 27);
    QCOMPARE(table->columns(), 8);
    QCOMPARE(cellText(table, 0, 0), QStringLiteral("No."));
    QCOMPARE(cellText(table, 0, 7), QStringLiteral("Business"));
    for (int i = 1; i <= 26; ++i)
        QCOMPARE(cellText(table, i, 0), QString::number(i));
    QCOMPARE(cellText(table, 1, 1), QStringLiteral("Crescent Textile Mills") +
                                        QChar::LineSeparator + "Sales Manager Ali Raza");
    QCOMPARE(cellText(table, 1, 2),
             QStringLiteral("45-B Industrial Estate, Kot Lakhpat, Lahore (54770)"));
    QCOMPARE(cellText(table, 1, 3), QStringLiteral("042-35112233, 042-35112234"));
    QVERIFY(cellText(table, 1, 7).startsWith(QStringLiteral("Textile manufacturer")));
    QCOMPARE(cellText(table, 26, 1).section(QChar::LineSeparator, 0, 0),
             QStringLiteral("Company 25 Restaurant"));
}

void TestTemplates::ptclReport() {
    QList<PtclRow> rows;
    for (int i = 0; i < 12; ++i)
        rows << SampleRows::ptcl(i);
    QList<const PtclRow*> selected;
    for (const PtclRow& r : rows)
        selected << &r;
    ReportTable ds(ReportTable::Layout::Ptcl);
    ReportRows::fillPtclReport(ds, selected);
    QTextDocument doc;
    QCOMPARE(run(ds, "FD_RP", doc), QString());
    QCOMPARE(lines(doc).value(0), QStringLiteral("PTCL Directory"));
    QCOMPARE(lines(doc).last(), QStringLiteral("Entries listed: 12"));
    QTextTable* table = doc.find(QStringLiteral("Muhammad Aslam 12")).currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), 13);
    QCOMPARE(table->columns(), 4);
    QCOMPARE(cellText(table, 12, 1), QStringLiteral("0427000143"));
    QCOMPARE(cellText(table, 12, 3), QStringLiteral("House 14, Street 9, Samanabad, Lahore"));
}

void TestTemplates::emptyAndBlankedTables_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ptcl");
    for (const char* n : {"PD_DV", "BD_DV", "PD_RP", "BD_RP"})
        QTest::newRow(n) << QString::fromLatin1(n) << false;
    for (const char* n : {"FD_DV", "FD_RP"})
        QTest::newRow(n) << QString::fromLatin1(n) << true;
}

// With nothing selected the pages run their templates over an empty table, or over the blanked
// row of the last run: no template may fail then.
void TestTemplates::emptyAndBlankedTables() {
    QFETCH(QString, name);
    QFETCH(bool, ptcl);
    ReportTable ds(ptcl ? ReportTable::Layout::Ptcl : ReportTable::Layout::Contact);
    QTextDocument doc;
    QCOMPARE(run(ds, name, doc), QString());
    if (name.endsWith("_RP")) {
        QVERIFY(lines(doc).last().startsWith(QStringLiteral("Entries listed:")));
        QTextTable* table = doc.find(QStringLiteral("No.")).currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), 1);
    }
    if (ptcl)
        ReportRows::fillPtclDetail(ds, SampleRows::ptcl(1));
    else
        ReportRows::fillContactDetail(ds, SampleRows::fullContact());
    BlankAllValues(ds);
    QCOMPARE(run(ds, name, doc), QString());
    QVERIFY(!doc.toPlainText().contains(QStringLiteral("Crescent")));
}

void TestTemplates::otherScriptsFormattedAlike_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"PD_DV", "PD_RP", "BD_DV", "BD_RP", "FD_DV", "FD_RP"})
        QTest::newRow(name) << name;
}

// Word processors size and weight Arabic-script text (Urdu names) by the "associated" words
// \afs, \ab and \ai, not by \fs, \b and \i: every size and weight a template sets must be set
// for both, or Urdu prints at the processor's default size beside small Latin text.
void TestTemplates::otherScriptsFormattedAlike() {
    QFETCH(QString, name);
    const QString rtf = QString::fromLatin1(readFile(templatePath(name)));
    QVERIFY(!rtf.isEmpty());
    const QRegularExpression word(QStringLiteral("\\\\(fs|b|i)(\\d*)(?![a-z])"));
    for (auto it = word.globalMatch(rtf); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString associated = QStringLiteral("\\a") + m.captured(1) + m.captured(2);
        // The size is set just before \fs (as word processors write it), the weights just after.
        const QRegularExpression pair(QRegularExpression::escape(associated) + "(?![0-9a-z])");
        const bool paired = m.captured(1) == u"fs"
                                ? rtf.mid(m.capturedStart() - 40, 40).contains(pair)
                                : pair.match(rtf, m.capturedEnd(), QRegularExpression::NormalMatch,
                                             QRegularExpression::AnchorAtOffsetMatchOption)
                                      .hasMatch();
        QVERIFY2(paired, qPrintable(m.captured() + " without " + associated + " at " +
                                    QString::number(m.capturedStart())));
    }
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestTemplates test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_templates.moc"
