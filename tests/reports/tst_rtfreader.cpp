// The RTF reader: formatting, destinations, Unicode, tables and malformed input, on documents in
// the style that LibreOffice and WordPad write.
#include "reports/RtfEscape.h"
#include "reports/RtfReader.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>
#include <QtTest>

namespace {

QString plain(const QByteArray& rtf) {
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    return doc.toPlainText();
}

// The character format at the first occurrence of the text.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    QTextCursor c = found;
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument& doc, const QString& text) {
    return doc.find(text).blockFormat();
}

const QByteArray kWordPad =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Calibri;}{\\f1\\fmodern\\fcharset0 Courier New;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green77\\blue187;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f0\\fs32\\lang9 Title Line\\b0\\fs22\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\cf1 Red text \\cf2\\i blue italic\\i0\\cf0  caf\\'e9 "
    "\\u8364?\\par\r\n"
    "\\ul underline\\ulnone  and \\f1 mono\\f0\\par\r\n"
    "\\pard\\li720\\ri360\\fi-360\\sb120\\tx1440\\tqr\\tx4000 Indented\\tab with tabs\\par\r\n"
    "}\r\n\0";

const QByteArray kLibreOffice =
    "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
    "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation "
    "Serif{\\*\\falt Times New Roman};}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt "
    "Arial};}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\dbch\\af5\\langfe2052\\loch\\f3\\fs24\\lang1033 Normal;}\n"
    "{\\s15\\sbasedon0\\snext16\\sb240\\sa120\\keepn\\loch\\f4\\fs28 Heading;}\n"
    "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
    "{\\info{\\title Secret Title}{\\creatim\\yr2024\\mo5\\dy6\\hr10\\min0}{\\revtim\\yr2024\\mo5"
    "\\dy6\\hr10\\min5}}{\\*\\userprops{\\propname x}\\proptype30{\\staticval y}}\\deftab709\n"
    "\\hyphauto1\\viewscale100\n"
    "{\\*\\pgdsctbl\n"
    "{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\sectd\\sbknone\\pgndec\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\qc\\widctlpar\\hyphpar0\\ltrpar\\cf0"
    "\\dbch\\af5\\langfe2052\\loch\\f3\\fs24\\lang1033{\\b\\fs36\\loch\n"
    "Heading text}\n"
    "\\par \\pard\\plain \\s0\\ql\\widctlpar\\ltrpar\\loch\\f2\\fs24{\\loch\n"
    "Body with }{\\i\\loch italic}{\\loch  and \\'e9 }{\\cf2\\loch grey}\n"
    "\\par \\trowd\\trql\\trleft-55\\ltrrow\\trpaddft3\\trpaddt55\\trpaddfl3\\trpaddl55\\clbrdrt"
    "\\brdrs\\brdrw10\\brdrcf1\\clbrdrl\\brdrs\\brdrw10\\brdrcf1\\cellx4819\\clbrdrt\\brdrs\\brdrw1"
    "0"
    "\\brdrcf1\\clbrdrr\\brdrs\\brdrw10\\brdrcf1\\cellx9638\\pard\\plain \\s20\\intbl\\ql{\\loch\n"
    "Cell one}\\cell\\pard\\plain \\s20\\intbl\\qr{\\loch\n"
    "Cell two}\\cell\\row\\pard\\plain \\s20\\intbl{\\loch\n"
    "Cell three}\\cell\\pard\\plain \\s20\\intbl{\\loch\n"
    "Cell four}\\cell\\row\\pard\\plain \\s0\\ql{\\loch\n"
    "After table}\n"
    "\\par }";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void wordPadDocument();
    void libreOfficeDocument();
    void libreOfficeTable();
    void wordStyleTableWithRowPropertiesAtTheEnd();
    void unicodeAndFallbacks_data();
    void unicodeAndFallbacks();
    void escapedTextReadsBack();
    void destinationsAreSkipped_data();
    void destinationsAreSkipped();
    void specialCharacters();
    void groupsRestoreFormatting();
    void smallGapParagraph();
    void notRtfIsPlainText();
    void readingReplacesContent();
    void truncatedInputNeverFails();
    void deepNestingIsLimited();
    void hugeParametersAreClamped();
};

void TestRtfReader::wordPadDocument() {
    QTextDocument doc;
    RtfReader::read(kWordPad, &doc);
    QCOMPARE(doc.toPlainText(),
             QString::fromUtf8("Title Line\nRed text blue italic caf\u00e9 "
                               "\u20ac\nunderline and mono\nIndented\twith tabs"));
    QCOMPARE(doc.blockCount(), 4);
    const QTextCharFormat title = formatOf(doc, "Title");
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QCOMPARE(title.fontPointSize(), 16.0);
    QCOMPARE(title.fontFamilies().toStringList(), QStringList{"Calibri"});
    QCOMPARE(blockOf(doc, "Title").alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(doc, "Title").bottomMargin(), 200 / 15.0);
    QCOMPARE(blockOf(doc, "Title").lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(blockOf(doc, "Red").alignment(), Qt::AlignLeft);
    QCOMPARE(formatOf(doc, "Red").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatOf(doc, "Red").fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(doc, "Red").fontPointSize(), 11.0);
    QCOMPARE(formatOf(doc, "blue").foreground().color(), QColor(0, 77, 187));
    QVERIFY(formatOf(doc, "blue").fontItalic());
    QVERIFY(!formatOf(doc, "caf").fontItalic());
    QVERIFY(formatOf(doc, "underline").fontUnderline());
    QVERIFY(!formatOf(doc, " and").fontUnderline());
    QCOMPARE(formatOf(doc, "mono").fontFamilies().toStringList(), QStringList{"Courier New"});
    QCOMPARE(formatOf(doc, "mono").fontStyleHint(), QFont::Monospace);
    const QTextBlockFormat indented = blockOf(doc, "Indented");
    QCOMPARE(indented.leftMargin(), 48.0);
    QCOMPARE(indented.rightMargin(), 24.0);
    QCOMPARE(indented.textIndent(), -24.0);
    QCOMPARE(indented.topMargin(), 8.0);
    QCOMPARE(indented.tabPositions().size(), 2);
    QCOMPARE(indented.tabPositions()[1].type, QTextOption::RightTab);
}

void TestRtfReader::libreOfficeDocument() {
    QTextDocument doc;
    RtfReader::read(kLibreOffice, &doc);
    const QString text = doc.toPlainText();
    QVERIFY2(text.startsWith(QString::fromUtf8("Heading text\nBody with italic and \u00e9 grey\n")),
             qPrintable(text));
    QVERIFY(text.endsWith("After table"));
    for (const char* hidden :
         {"Times", "Normal", "Heading;", "Secret", "LibreOffice", "Default", "propname", "2024"})
        QVERIFY2(!text.contains(hidden), hidden);
    QCOMPARE(formatOf(doc, "Heading").fontPointSize(), 18.0);
    QCOMPARE(formatOf(doc, "Heading").fontWeight(), int(QFont::Bold));
    QCOMPARE(formatOf(doc, "Heading").fontFamilies().toStringList(),
             QStringList{"Liberation Serif"});
    QCOMPARE(blockOf(doc, "Heading").alignment(), Qt::AlignHCenter);
    QCOMPARE(formatOf(doc, "Body").fontFamilies().toStringList(), QStringList{"Arial"});
    QVERIFY(formatOf(doc, "italic").fontItalic());
    QCOMPARE(formatOf(doc, "grey").foreground().color(), QColor(128, 128, 128));
}

void TestRtfReader::libreOfficeTable() {
    QTextDocument doc;
    RtfReader::read(kLibreOffice, &doc);
    QTextCursor c = doc.find("Cell one");
    QTextTable* table = c.currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    auto cellText = [&](int r, int col) {
        QTextTableCell cell = table->cellAt(r, col);
        QTextCursor s = cell.firstCursorPosition();
        s.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return s.selectedText();
    };
    QCOMPARE(cellText(0, 0), QStringLiteral("Cell one"));
    QCOMPARE(cellText(0, 1), QStringLiteral("Cell two"));
    QCOMPARE(cellText(1, 0), QStringLiteral("Cell three"));
    QCOMPARE(cellText(1, 1), QStringLiteral("Cell four"));
    QCOMPARE(table->cellAt(0, 1).firstCursorPosition().blockFormat().alignment(), Qt::AlignRight);
    QCOMPARE(table->format().border(), 1.0);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 2);
    QCOMPARE(widths[0].rawValue(), (4819 + 55) / 15.0);
    QVERIFY(!doc.find("After table").currentTable());
    QVERIFY(!doc.find("grey").currentTable());
}

void TestRtfReader::wordStyleTableWithRowPropertiesAtTheEnd() {
    const QByteArray rtf =
        "{\\rtf1\\ansi Before\\par\\pard\\intbl{A1\\cell}{A2\\cell}{A3\\cell}"
        "{\\trowd\\trgaph108\\cellx1000\\cellx2000\\row}\\pard\\intbl B1\\par second line\\cell "
        "B2\\cell\\nestcell B3\\cell{\\trowd\\cellx1000\\cellx2000\\cellx3000\\row}\\pard After}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QTextTable* table = doc.find("A1").currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 3);
    QVERIFY(doc.find("second line").currentTable() == table);
    QCOMPARE(doc.find("B3").currentTable(), table);
    QVERIFY(doc.toPlainText().startsWith("Before\nA1"));
    QVERIFY(doc.toPlainText().endsWith("After"));
    QVERIFY(!doc.find("After").currentTable());
    // More cells than the column limit share the last cell.
    QByteArray wide = "{\\rtf1 \\trowd\\intbl ";
    for (int i = 0; i < 100; ++i)
        wide += "c" + QByteArray::number(i) + "\\cell ";
    wide += "\\row\\pard end}";
    RtfReader::read(wide, &doc);
    QVERIFY(doc.find("c99").currentTable());
    QVERIFY(doc.find("c99").currentTable()->columns() <= 63);
}

void TestRtfReader::unicodeAndFallbacks_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("one fallback") << QByteArray("\\u8364?x") << QString::fromUtf8("\u20acx");
    QTest::newRow("hex fallback") << QByteArray("\\u233\\'e9x") << QString::fromUtf8("\u00e9x");
    QTest::newRow("uc2") << QByteArray("\\uc2\\u8364abx") << QString::fromUtf8("\u20acx");
    QTest::newRow("uc0") << QByteArray("\\uc0\\u8364 x") << QString::fromUtf8("\u20acx");
    QTest::newRow("negative") << QByteArray("\\u-3913?") << QString(QChar(0xF0B7));
    QTest::newRow("group ends fallback")
        << QByteArray("{\\uc3\\u8364}x") << QString::fromUtf8("\u20acx");
    QTest::newRow("uc is per group")
        << QByteArray("{\\uc0 }\\u8364?x") << QString::fromUtf8("\u20acx");
    QTest::newRow("surrogates") << QByteArray("\\u-10179?\\u-8704?")
                                << QString::fromUtf8("\U0001F600");
    QTest::newRow("half pairs") << QByteArray("\\u-10179?x\\u-8704?\\u-10179?\\u-10179?\\u-8704?")
                                << QString::fromUtf8("\uFFFDx\uFFFD\uFFFD\U0001F600");
    QTest::newRow("cp1252 high bytes")
        << QByteArray("\\'80\\'93q\\'94") << QString::fromUtf8("\u20ac\u201cq\u201d");
    QTest::newRow("latin-1 bytes")
        << QByteArray("\\'e9\\'ff\xe9") << QString::fromUtf8("\u00e9\u00ff\u00e9");
    QTest::newRow("upr and ud") << QByteArray("{\\upr{ansi}{\\*\\ud{\\u8364?}}}x")
                                << QString::fromUtf8("\u20acx");
    QTest::newRow("bad hex") << QByteArray("a\\'zzb") << QStringLiteral("azzb");
}

void TestRtfReader::unicodeAndFallbacks() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(plain("{\\rtf1\\ansi\\ansicpg1252 " + rtf + "}"), text);
}

// What the program writes, its own reader gives back exactly: every script, characters beyond 16
// bits, combining and direction marks, and RTF's own characters inside them.
void TestRtfReader::escapedTextReadsBack() {
    const QStringList texts = {
        QStringLiteral("لاہور کی کتابیں"),
        QStringLiteral("Habib بک ڈپو Books {1}"),
        QStringLiteral("Tea \U0001F375 \U0001F600\U0001F600"),
        QStringLiteral("Cafe\u0301 n\u0303 \u200Fعلی\u200E \u202Bخان\u202C"),
        QStringLiteral("ع\\ل\\\\ی"),
        QString(200, QChar(0x06C1)),
        QString::fromLatin1("Caf\xe9 \xff"),
    };
    for (const QString& text : texts) {
        const QString rtf = RtfEscape::escape(text);
        QVERIFY2(std::all_of(rtf.cbegin(), rtf.cend(), [](QChar c) { return c.unicode() < 128; }),
                 qPrintable(rtf));
        QCOMPARE(plain("{\\rtf1\\ansi\\ansicpg1252\\uc1 " + rtf.toLatin1() + "}"), text);
    }
}

void TestRtfReader::destinationsAreSkipped_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("unknown ignorable") << QByteArray("{\\*\\somethingnew hidden {nested}}");
    QTest::newRow("picture") << QByteArray("{\\pict\\pngblip\\picw10 89504e47hidden}");
    QTest::newRow("shape picture") << QByteArray("{\\*\\shppict{\\pict\\wmetafile8 0100hidden}}");
    QTest::newRow("field instruction")
        << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"hidden\"}{\\fldrslt }}");
    QTest::newRow("plain fldinst") << QByteArray("{\\field{\\fldinst hidden}}");
    QTest::newRow("header") << QByteArray("{\\header\\pard hidden\\par}");
    QTest::newRow("footnote") << QByteArray("{\\footnote hidden}");
    QTest::newRow("hidden text") << QByteArray("{\\v hidden}");
    QTest::newRow("binary") << QByteArray("{\\*\\blob\\bin5 {}}\\\\}") + "{\\pict\\bin4 }{{{}";
    QTest::newRow("bookmark") << QByteArray("{\\*\\bkmkstart hidden}");
    QTest::newRow("list table") << QByteArray(
        "{\\*\\listtable{\\list{\\listlevel{\\leveltext hidden;}}}}");
}

void TestRtfReader::destinationsAreSkipped() {
    QFETCH(QByteArray, rtf);
    QCOMPARE(plain("{\\rtf1\\ansi a" + rtf + "b}"), QStringLiteral("ab"));
}

void TestRtfReader::specialCharacters() {
    QTextDocument doc;
    RtfReader::read("{\\rtf1 a\\tab b\\line c\\~d\\emdash e\\endash f\\bullet\\lquote g\\rquote "
                    "\\ldblquote h\\rdblquote\\-i\\_j\\{k\\}\\\\l\\unknownword m\\par n}",
                    &doc);
    QCOMPARE(doc.toRawText(),
             QString::fromUtf8("a\tb\u2028c\u00a0d\u2014e\u2013f\u2022\u2018g\u2019\u201ch\u201di"
                               "\u2011j{k}\\lm\u2029n"));
    // A backslash before a line break is a paragraph mark; bare line breaks are nothing.
    QCOMPARE(plain("{\\rtf1 a\\\nb\r\nc}"), QStringLiteral("a\nbc"));
    QCOMPARE(plain("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}"),
             QStringLiteral("link"));
    QCOMPARE(plain("{\\rtf1 {\\pntext\\f1 1.\\tab}item}"), QStringLiteral("1.\titem"));
}

void TestRtfReader::groupsRestoreFormatting() {
    QTextDocument doc;
    RtfReader::read("{\\rtf1 {\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f0\\fs20 n1 {\\b\\i"
                    "\\ul\\strike\\fs40\\f1\\super sup}n2\\b b1\\plain plainword\\b0}",
                    &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("n1 supn2b1plainword"));
    const QTextCharFormat sup = formatOf(doc, "sup");
    QVERIFY(sup.fontItalic() && sup.fontUnderline() && sup.fontStrikeOut());
    QCOMPARE(sup.fontPointSize(), 20.0);
    QCOMPARE(sup.fontFamilies().toStringList(), QStringList{"Times"});
    QCOMPARE(sup.verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const QTextCharFormat n2 = formatOf(doc, "n2");
    QVERIFY(!n2.fontItalic() && !n2.fontUnderline());
    QCOMPARE(n2.fontPointSize(), 10.0);
    QCOMPARE(n2.fontFamilies().toStringList(), QStringList{"Arial"});
    QCOMPARE(formatOf(doc, "b1").fontWeight(), int(QFont::Bold));
    // \plain goes back to the defaults: 12 points in the default font (none declared: no family).
    QCOMPARE(formatOf(doc, "plainword").fontPointSize(), 12.0);
    QCOMPARE(formatOf(doc, "plainword").fontWeight(), int(QFont::Normal));
}

void TestRtfReader::smallGapParagraph() {
    const QByteArray gap =
        "{\\rtlch \\af1\\afs8 \\ltrch \\f1\\fs8\\insrsid2977295\\charrsid2977295   \\par}";
    QTextDocument doc;
    RtfReader::read("{\\rtf1{\\fonttbl{\\f1\\fswiss Arial;}} Title\\par " + gap + "Person}", &doc);
    QCOMPARE(doc.blockCount(), 3);
    const QTextBlock middle = doc.begin().next();
    QCOMPARE(middle.text(), QStringLiteral("  "));
    QCOMPARE(middle.begin().fragment().charFormat().fontPointSize(), 4.0);
    QCOMPARE(doc.lastBlock().text(), QStringLiteral("Person"));
    QCOMPARE(formatOf(doc, "Person").fontPointSize(), 12.0);
}

void TestRtfReader::notRtfIsPlainText() {
    QCOMPARE(plain("just text {with braces}\n\xe9"),
             QString::fromUtf8("just text {with braces}\n\u00e9"));
    QCOMPARE(plain(""), QString());
    QCOMPARE(plain("  \r\n{\\rtf1 ok}"), QStringLiteral("ok"));
}

void TestRtfReader::readingReplacesContent() {
    QTextDocument doc;
    RtfReader::read("{\\rtf1 first\\par second}", &doc);
    RtfReader::read("{\\rtf1 third}", &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("third"));
    // Text after the document's closing brace is not part of it.
    QCOMPARE(plain("{\\rtf1 in}out"), QStringLiteral("in"));
}

void TestRtfReader::truncatedInputNeverFails() {
    const QByteArray docs[] = {kWordPad, kLibreOffice};
    for (const QByteArray& full : docs) {
        for (qsizetype n = 0; n <= full.size(); n += 3) {
            QTextDocument doc;
            RtfReader::read(full.left(n), &doc);
            QVERIFY(doc.characterCount() >= 1);
        }
    }
    QCOMPARE(plain("{\\rtf1 abc\\"), QStringLiteral("abc"));
    QCOMPARE(plain("{\\rtf1 abc\\'4"), QStringLiteral("abc"));
    QCOMPARE(plain("{\\rtf1 abc\\bin99999 xyz"), QStringLiteral("abc"));
    QCOMPARE(plain("{\\rtf1 a}}}}}b"), QStringLiteral("a"));
}

void TestRtfReader::deepNestingIsLimited() {
    const int depth = 200000;
    QByteArray rtf = "{\\rtf1 start";
    rtf += QByteArray(depth, '{');
    rtf += "\\b deep";
    rtf += QByteArray(depth, '}');
    rtf += " end}";
    // Groups beyond the limit share the state of the deepest group; the document still ends
    // where its braces say.
    QCOMPARE(plain(rtf), QStringLiteral("startdeep end"));
}

void TestRtfReader::hugeParametersAreClamped() {
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\fs99999999999999999 big\\fs-5 neg\\li-99999999999 x\\cf99999 "
                    "y\\f-7 z\\uc99999999\\u99999999 w\\trowd\\cellx-5\\cellx999999999\\intbl "
                    "c\\cell\\row}",
                    &doc);
    QVERIFY(doc.toPlainText().startsWith("bigneg"));
    QVERIFY(formatOf(doc, "big").fontPointSize() > 0);
    // Lengths stay within what a word processor accepts (22 inches), so layout stays quick.
    RtfReader::read("{\\rtf1\\sl-35112233 a\\par\\li99999999\\sb99999999\\tx99999999 b\\par}",
                    &doc);
    QCOMPARE(blockOf(doc, "a").lineHeight(), 31680 / 15.0);
    QCOMPARE(blockOf(doc, "b").leftMargin(), 31680 / 15.0);
    QCOMPARE(blockOf(doc, "b").topMargin(), 31680 / 15.0);
    QCOMPARE(blockOf(doc, "b").tabPositions().value(0).position, 31680 / 15.0);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestRtfReader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rtfreader.moc"
