#include "app/Helpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

// Tests of the shared text helpers.
class TestHelpers : public QObject {
    Q_OBJECT

private slots:
    void hasText() {
        QVERIFY(!HasText("   \t"));
        QVERIFY(!HasText(""));
        QVERIFY(!HasText(QString("\r\n") + QChar(1)));
        QVERIFY(HasText(" a "));
        QVERIFY(HasText(QString(QChar(0xA0)))); // a no-break space is a character, not a blank
        QCOMPARE(IfHasText("x", ", ", ""), QString(", "));
        QCOMPARE(IfHasText(" \t", ", ", "none"), QString("none"));
    }

    void isDigitsOnly() {
        QVERIFY(!IsDigitsOnly(""));
        QVERIFY(IsDigitsOnly("0421234567"));
        QVERIFY(!IsDigitsOnly("042 1234567"));
        QVERIFY(!IsDigitsOnly("+92421234567"));
        QVERIFY(!IsDigitsOnly("(042)1234567"));
        QVERIFY(!IsDigitsOnly("12\u00B2"));     // superscript two
        QVERIFY(!IsDigitsOnly("\u0661\u0662")); // Arabic-Indic digits
    }

    void convertCase() {
        QCOMPARE(ConvertCase("MUHAMMAD ALI-KHAN", 'C'), QString("Muhammad Ali-Khan"));
        QCOMPARE(ConvertCase("o-neil ltd.", 'C'), QString("O-Neil Ltd."));
        QCOMPARE(ConvertCase("abc123def", 'C'), QString("Abc123def"));
        QCOMPARE(ConvertCase("\u00E9cole ABC", 'C'), QString("\u00E9Cole Abc"));
        QCOMPARE(ConvertCase("abc \u00E9\u00C9 Z", 'U'), QString("ABC \u00E9\u00C9 Z"));
        QCOMPARE(ConvertCase("ABC \u00E9\u00C9 z", 'L'), QString("abc \u00E9\u00C9 z"));
        QCOMPARE(ConvertCase("MiXed", 'X'), QString("MiXed"));
        QCOMPARE(ConvertCase("MiXed", 'u'), QString("MiXed"));
        QCOMPARE(ConvertCase("", 'C'), QString());
    }

    void choose() {
        QCOMPARE(Choose(true, 1, 2), 1);
        QCOMPARE(Choose(false, QString("a"), "b"), QString("b"));
        int first = 0;
        int second = 0;
        QCOMPARE(Choose(false, &first, &second), &second);
    }

    void splitText() {
        QCOMPARE(SplitText("0300123,,0321456", ",", false), QStringList({"0300123", "0321456"}));
        QCOMPARE(SplitText("0300123,,0321456", ",", true), QStringList({"0300123", "", "0321456"}));
        QCOMPARE(SplitText("", ",", false), QStringList());
        QCOMPARE(SplitText("", ",", true), QStringList({""}));
        QCOMPARE(SplitText("a,", ",", true), QStringList({"a", ""}));
        QCOMPARE(SplitText("a||b|||c", "||", true), QStringList({"a", "b", "|c"}));
        QCOMPARE(SplitText("aXbxc", "x", true), QStringList({"aXb", "c"}));
        QCOMPARE(SplitText("abc", "", false), QStringList({"abc"}));
    }

    void textAfterAndBefore() {
        QCOMPARE(TextAfter("gb", "GB3"), QString("3"));
        QCOMPARE(TextBefore(">", "abc"), QString("abc"));
        QCOMPARE(TextAfter(">", "abc"), QString());
        QCOMPARE(TextAfter("", "abc"), QString());
        QCOMPARE(TextBefore("", "abc"), QString("abc"));
        QCOMPARE(TextAfter("=", "a=b=c"), QString("b=c"));
        QCOMPARE(TextBefore("=", "a=b=c"), QString("a"));
        QCOMPARE(TextAfter("\u00C9T\u00C9", "x\u00E9t\u00E9y"), QString("y")); // Latin-1 capitals
        QCOMPARE(TextBefore("<B>", "xx<b>yy"), QString("xx"));
    }

    void padAndTrim() {
        QCOMPARE(PadLeft("7", 3, '0'), QString("007"));
        QCOMPARE(PadLeft("1234", 3, '0'), QString("1234"));
        QCOMPARE(PadLeft("123", 3, '0'), QString("123"));
        QCOMPARE(PadLeft("", 2, ' '), QString("  "));
        QCOMPARE(TrimTrailingChar("/home/user/Save\\\\", '\\'), QString("/home/user/Save"));
        QCOMPARE(TrimTrailingChar("\\\\", '\\'), QString());
        QCOMPARE(TrimTrailingChar("a\\b", '\\'), QString("a\\b"));
    }

    void urlEncode() {
        QCOMPARE(UrlEncode("a b&c"), QString("a+b%26c"));
        QCOMPARE(UrlEncode("ptcl"), QString("ptcl"));
        QCOMPARE(UrlEncode("1,"), QString("%31%2C"));
        QCOMPARE(UrlEncode("AZaz*-.@_"), QString("AZaz*-.@_"));
        QCOMPARE(UrlEncode("caf\u00E9"), QString("caf%E9"));
        QCOMPARE(UrlEncode("\u263A/"), QString("%3F%2F"));
        QCOMPARE(UrlEncode("%+~"), QString("%25%2B%7E"));
        // The wire stays Latin-1: each character beyond it is one '?', an emoji included.
        QCOMPARE(UrlEncode(QStringLiteral("لاہور caf\u00E9 \U0001F600")),
                 QString("%3F%3F%3F%3F%3F+caf%E9+%3F"));
    }

    void latin1Conversions() {
        QCOMPARE(toLatin1Safe("caf\u00E9 \u263A"), QByteArray("caf\xE9 ?"));
        QCOMPARE(toLatin1Safe(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(latin1Safe("\u00FF\u0100"), QString("\u00FF?"));
        QCOMPARE(latin1Lower("ABC\u00C0\u00D7\u00DE\u00DF"),
                 QString("abc\u00E0\u00D7\u00FE\u00DF"));
    }

    void quoteSql() {
        QCOMPARE(QuoteSql("O'Neil"), QString("'O''Neil'"));
        QCOMPARE(QuoteSql(""), QString("''"));
        QCOMPARE(QuoteSql("'; DROP TABLE CONT; --"), QString("'''; DROP TABLE CONT; --'"));
    }

    void fileMatchesMd5() {
        QTemporaryDir dir;
        const QString name = dir.filePath("file.zup.001");
        QVERIFY(!FileMatchesMd5(name, "900150983CD24FB0D6963F7D28E17F72"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.close();
        QVERIFY(FileMatchesMd5(name, "900150983CD24FB0D6963F7D28E17F72"));
        QVERIFY(FileMatchesMd5(name, "900150983cd24fb0d6963f7d28e17f72"));
        QVERIFY(!FileMatchesMd5(name, "900150983CD24FB0D6963F7D28E17F73"));
        QVERIFY(!FileMatchesMd5(name, ""));
        // Something that exists but cannot be opened as a file is an error, not a mismatch.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, FileMatchesMd5(dir.path(), "00"));
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
