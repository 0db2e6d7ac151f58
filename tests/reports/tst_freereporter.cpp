// The template engine: tag syntax, cycles, aggregates, built-in words and its error messages.
#include "reports/MemoryTable.h"
#include "reports/ReportFileError.h"
#include "reports/TDbFreeReporter.h"
#include "reports/TReporterException.h"
#include "reports/ValueFormatter.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A table of people with a text name, an integer amount, a float price and a date.
struct People {
    MemoryTable table{QStringLiteral("DS")};
    People() {
        table.addField(QStringLiteral("TITLE"), FieldKind::String);
        table.addField(QStringLiteral("CITY"), FieldKind::String);
        table.addField(QStringLiteral("AMOUNT"), FieldKind::Integer);
        table.addField(QStringLiteral("PRICE"), FieldKind::Float)->setDisplayFormat("0.00");
        table.addField(QStringLiteral("DAY"), FieldKind::Date);
        table.addField(QStringLiteral("BLOB"), FieldKind::Blob);
    }
    void add(const char* title, const char* city, QVariant amount, double price, QDate day) {
        table.appendRow({QString::fromLatin1(title), QString::fromLatin1(city), amount, price, day,
                         QByteArray("x")});
    }
};

QByteArray run(TDbFreeReporter& reporter, const QByteArray& templ) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    reporter.Execute(templ, out);
    return out.data();
}

QByteArray run(ReportDataSet* ds, const QByteArray& templ) {
    TDbFreeReporter reporter;
    if (ds)
        reporter.AddDataSet(ds);
    return run(reporter, templ);
}

QString failure(ReportDataSet* ds, const QByteArray& templ) {
    try {
        run(ds, templ);
    } catch (const TReporterException& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class TestFreeReporter : public QObject {
    Q_OBJECT

private slots:
    void templateWithoutTagsIsCopiedByteForByte();
    void tagTextIsCleaned_data();
    void tagTextIsCleaned();
    void valueReplacesFormattingInsideBraces();
    void hexEscapeInsideTag();
    void valuesAreWrittenVerbatim();
    void cycleOverEveryRecord();
    void cycleOverEmptyDataSetIsSkipped();
    void countInsideAndAfterCycle();
    void groupedCycleOverSortedRecords();
    void groupAggregatesRestartPerGroup();
    void aggregatesByFieldKind();
    void aggregateFormsAndCase();
    void builtInWords();
    void unknownTagHook();
    void endWithTrailingBlankIsValueTag();
    void errorMessages_data();
    void errorMessages();
    void closedDataSet();
    void scannerWithoutHooks();
    void deepNestingDoesNotExhaustTheStack();
    void fileExecuteKeepsOutputWrittenBeforeFault();
    void missingTemplateIsFileError();
};

void TestFreeReporter::templateWithoutTagsIsCopiedByteForByte() {
    QByteArray templ("{\\rtf1\\ansi {\\b bold}\\par \\} a lone closing delimiter\r\n");
    for (int b = 0; b < 256; ++b)
        templ.append(char(b));
    templ.append("\\}\\\\ {}");
    People p;
    QCOMPARE(run(&p.table, templ), templ);

    QTemporaryDir dir;
    const QString in = dir.filePath("t.rtf");
    const QString out = dir.filePath("o.rtf");
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(templ);
    f.close();
    QFile old(out);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x')); // longer than the result: must be truncated
    old.close();
    TDbFreeReporter reporter;
    reporter.AddDataSet(&p.table);
    reporter.Execute(in, out);
    QFile result(out);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), templ);
}

void TestFreeReporter::tagTextIsCleaned_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("clean");
    QTest::newRow("plain") << QByteArray("DS.TITLE") << QByteArray("DS.TITLE");
    QTest::newRow("group") << QByteArray("DS.{\\b TITLE}") << QByteArray("DS.TITLE");
    QTest::newRow("rsid") << QByteArray("{\\rtlch\\fcs1 \\af0 \\ltrch\\insrsid123 DS.ZIP CODE}")
                          << QByteArray("DS.ZIP CODE");
    QTest::newRow("line breaks") << QByteArray("DS.\r\nTI\tTLE") << QByteArray("DS.TITLE");
    QTest::newRow("hex") << QByteArray("caf\\'e9") << QByteArray("caf\xe9");
    QTest::newRow("hex upper") << QByteArray("\\'C4x") << QByteArray("\xc4x");
    QTest::newRow("words back to back") << QByteArray("\\b\\i DS") << QByteArray("DS");
    QTest::newRow("word before hex") << QByteArray("\\b\\'41") << QByteArray("A");
    QTest::newRow("word ended by brace") << QByteArray("\\b}DS") << QByteArray("DS");
    QTest::newRow("truncated hex") << QByteArray("A\\'4") << QByteArray("A");
    QTest::newRow("bad hex") << QByteArray("A\\'zzB") << QByteArray("AB");
    QTest::newRow("trailing backslash") << QByteArray("A\\") << QByteArray("A");
}

void TestFreeReporter::tagTextIsCleaned() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, clean);
    QCOMPARE(TFreeReporter::CleanTagText(raw), clean);
}

void TestFreeReporter::valueReplacesFormattingInsideBraces() {
    People p;
    p.add("Acme", "Lahore", 1, 1.0, QDate(2024, 1, 1));
    QCOMPARE(run(&p.table, "<\\{DS.{\\b TITLE}\\}>"), QByteArray("<Acme>"));
    QCOMPARE(run(&p.table, "\\{ds.title\\}"), QByteArray("Acme")); // names ignore letter case
}

void TestFreeReporter::hexEscapeInsideTag() {
    MemoryTable t(QStringLiteral("DS"));
    t.addField(QString::fromLatin1("CAF\xc9"), FieldKind::String);
    t.appendRow({QStringLiteral("coffee")});
    QCOMPARE(run(&t, "\\{DS.CAF\\'c9\\}"), QByteArray("coffee"));
    QCOMPARE(run(&t, "\\{DS.caf\\'c9\\}"), QByteArray("coffee"));
    // Only ASCII letters have a case: 0xE9 does not name the field 0xC9.
    QCOMPARE(failure(&t, "\\{DS.CAF\\'e9\\}"),
             QString::fromLatin1("Can't evaluate tag \"DS.CAF\xe9\".\rCheck template!"));
}

void TestFreeReporter::valuesAreWrittenVerbatim() {
    MemoryTable t(QStringLiteral("DS"));
    t.addField(QStringLiteral("V"));
    t.appendRow({QStringLiteral("a\\par {b")});
    QCOMPARE(run(&t, "[\\{DS.V\\}]"), QByteArray("[a\\par {b]"));
    t.removeAllRows();
    t.appendRow({QVariant()});
    QCOMPARE(run(&t, "[\\{DS.V\\}]"), QByteArray("[]"));
}

void TestFreeReporter::cycleOverEveryRecord() {
    People p;
    p.add("A", "X", 1, 1, {});
    p.add("B", "X", 2, 1, {});
    p.add("C", "Y", 3, 1, {});
    QCOMPARE(run(&p.table, "<\\{for DS\\}\\{DS.TITLE\\},\\{end\\}>"), QByteArray("<A,B,C,>"));
    // A second top-level cycle starts again at the first record.
    QCOMPARE(
        run(&p.table, "\\{for DS\\}\\{DS.TITLE\\}\\{end\\}|\\{FOR  DS \\}\\{DS.TITLE\\}\\{END\\}"),
        QByteArray("ABC|ABC"));
}

void TestFreeReporter::cycleOverEmptyDataSetIsSkipped() {
    People p;
    QCOMPARE(run(&p.table, "a\\{for DS\\}\\{DS.NOFIELD\\}\\{for DS\\}\\{end\\}\\{end\\}b"),
             QByteArray("ab"));
}

void TestFreeReporter::countInsideAndAfterCycle() {
    People p;
    for (const char* t : {"A", "B", "C", "D"})
        p.add(t, "X", 1, 1, {});
    QCOMPARE(run(&p.table, "\\{for DS\\}\\{count(DS.*)\\} \\{end\\}= \\{count(DS.*)\\}"),
             QByteArray("1 2 3 4 = 4"));
    // Every function name works with "*".
    QCOMPARE(run(&p.table, "\\{for DS\\}\\{end\\}\\{sum(DS.*)\\}\\{max(ds.*)\\}"),
             QByteArray("44"));
    // A cycle over no record at all counts 0.
    People none;
    QCOMPARE(run(&none.table, "\\{for DS\\}x\\{end\\}Entries: \\{count(DS.*)\\}"),
             QByteArray("Entries: 0"));
}

void TestFreeReporter::groupedCycleOverSortedRecords() {
    People p;
    p.add("Ali", "Karachi", 1, 1, {});
    p.add("Bilal", "Karachi", 2, 1, {});
    p.add("Chand", "Lahore", 3, 1, {});
    p.add("Dawood", "Multan", 4, 1, {});
    p.add("Ejaz", "Multan", 5, 1, {});
    const QByteArray templ = "\\{for DS.CITY\\}[\\{DS.CITY\\}:\\{for DS\\}\\{DS.TITLE\\} \\{end\\}]"
                             "\\{end\\}";
    QCOMPARE(run(&p.table, templ),
             QByteArray("[Karachi:Ali Bilal ][Lahore:Chand ][Multan:Dawood Ejaz ]"));
    // Without the inner cycle each group is produced once, on its first record.
    QCOMPARE(run(&p.table, "\\{for DS.city\\}\\{DS.TITLE\\}/\\{count(DS.*)\\} \\{end\\}"),
             QByteArray("Ali/1 Chand/3 Dawood/4 "));
    // The group cycle passes over the records of a group and counts them.
    QCOMPARE(run(&p.table, "\\{for DS.CITY\\}\\{end\\}\\{count(DS.*)\\}"), QByteArray("5"));
}

void TestFreeReporter::groupAggregatesRestartPerGroup() {
    People p;
    p.add("a", "K", 1, 1, {});
    p.add("b", "K", 2, 1, {});
    p.add("c", "L", 10, 1, {});
    const QByteArray templ = "\\{for DS.CITY\\}\\{DS.CITY\\}\\{for DS\\}\\{end\\}="
                             "\\{sum(DS.AMOUNT)\\}/\\{count(DS.*)\\};\\{end\\}"
                             "total \\{sum(DS.AMOUNT)\\}";
    QCOMPARE(run(&p.table, templ), QByteArray("K=3/2;L=10/1;total 13"));
}

void TestFreeReporter::aggregatesByFieldKind() {
    QLocale::setDefault(QLocale::c());
    People p;
    p.add("Zed", "X", 4, 2.5, QDate(2024, 3, 10));
    p.add("Amy", "X", QVariant(), 1.25, QDate(2024, 3, 1));
    p.add("Max", "X", 7, 3.0, QDate(2024, 3, 20));
    const QByteArray templ =
        "\\{for DS\\}\\{end\\}"
        "\\{sum(DS.AMOUNT)\\} \\{avg(DS.AMOUNT)\\} \\{count(DS.AMOUNT)\\} \\{min(DS.AMOUNT)\\} "
        "\\{max(DS.AMOUNT)\\}|\\{sum(DS.PRICE)\\} \\{avg(DS.PRICE)\\} \\{min(DS.PRICE)\\}|"
        "\\{min(DS.TITLE)\\} \\{max(DS.TITLE)\\} [\\{sum(DS.TITLE)\\}] [\\{avg(DS.TITLE)\\}]|"
        "\\{count(DS.TITLE)\\}";
    // Integer average is whole-number division (11 / 2); the float field uses its format.
    QCOMPARE(run(&p.table, templ), QByteArray("11 5 2 4 7|6.75 2.25 1.25|Amy Zed [] []|3"));

    MemoryField* day = p.table.field(4);
    day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(run(&p.table, "\\{for DS\\}\\{end\\}\\{min(DS.DAY)\\} \\{max(DS.DAY)\\} "
                           "\\{avg(DS.DAY)\\}"),
             QByteArray("2024-03-01 2024-03-20 2024-03-10"));
    // Display formats are written in the report letters: "mm" is the month unless it follows
    // the hour, letters are case-insensitive, quoted text is kept.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
    const QList<QPair<QString, QByteArray>> formats = {
        {"dd/mm/yyyy", "01/03/2024"},
        {"d/m/yy", "1/3/24"},
        {"DD-MMM-YYYY", "01-Mar-2024"},
        {"dddd d mmmm", "Friday 1 March"},
        {"'Day' d \"of\" m", "Day 1 of 3"},
        {"yyyy-mm-dd hh:mm:ss", "2024-03-01 00:00:00"},
        {"hh:nn", "00:00"},
    };
    for (const auto& [format, expected] : formats) {
        day->setDisplayFormat(format);
        QCOMPARE(run(&p.table, "\\{for DS\\}\\{end\\}\\{min(DS.DAY)\\}"), expected);
    }
    MemoryTable times(QStringLiteral("DS"));
    MemoryField* at = times.addField(QStringLiteral("AT"), FieldKind::DateTime);
    times.appendRow({QDateTime(QDate(2024, 2, 3), QTime(14, 7, 9))});
    for (const auto& [format, expected] :
         QList<QPair<QString, QByteArray>>{{"dd/mm/yyyy hh:mm", "03/02/2024 14:07"},
                                           {"h:m:s", "14:7:9"},
                                           {"hh 'h' mm", "14 h 07"},
                                           {"hh:mm am/pm", "02:07 pm"},
                                           {"mm", "02"}}) {
        at->setDisplayFormat(format);
        QCOMPARE(run(&times, "\\{for DS\\}\\{end\\}\\{max(DS.AT)\\}"), expected);
    }
    day->setDisplayFormat({});
    QCOMPARE(run(&p.table, "\\{for DS\\}\\{end\\}\\{min(DS.DAY)\\}"),
             ValueFormatter::shortDate(QDate(2024, 3, 1)).toLatin1());

    // A blob field is not aggregatable: there is no aggregate entry for it.
    QCOMPARE(
        failure(&p.table, "\\{for DS\\}\\{end\\}\\{count(DS.BLOB)\\}"),
        QStringLiteral("Can't evaluate aggregate field tag \"count(DS.BLOB)\"\rCheck template!"));
}

void TestFreeReporter::aggregateFormsAndCase() {
    People p;
    p.add("b", "X", 2, 1, {});
    p.add("a", "X", 3, 1, {});
    QCOMPARE(run(&p.table, "\\{for DS\\}\\{end\\}\\{SUM(DS.AMOUNT)\\}\\{Min(ds.title)\\}"),
             QByteArray("5a"));
    // "sum" of an unknown field falls through to the field form.
    QCOMPARE(failure(&p.table, "\\{for DS\\}\\{end\\}\\{sum(DS.NOFIELD)\\}"),
             QStringLiteral("Can't find dataset \"sum(DS\".\rCheck template!"));
    // Not one of the five functions: the field form, then the unknown tag.
    QCOMPARE(failure(&p.table, "\\{total(DS.AMOUNT)\\}"),
             QStringLiteral("Can't find dataset \"total(DS\".\rCheck template!"));
    // A blank inside the function word makes it no function.
    QCOMPARE(failure(&p.table, "\\{for DS\\}\\{end\\}\\{sum (DS.AMOUNT)\\}"),
             QStringLiteral("Can't find dataset \"sum (DS\".\rCheck template!"));
}

void TestFreeReporter::builtInWords() {
    People p;
    QCOMPARE(run(&p.table, "\\{version\\}|\\{VERSION\\}"), QByteArray("1.0|1.0"));
    const QByteArray date = run(&p.table, "\\{date\\}");
    QCOMPARE(date, ValueFormatter::shortDate(QDate::currentDate()).toLatin1());
    QVERIFY(!run(&p.table, "\\{time\\}").isEmpty());
    QVERIFY(run(&p.table, "\\{now\\}").startsWith(date));
    QCOMPARE(ValueFormatter::dateAndTime(QDateTime(QDate(2024, 5, 6), QTime(0, 0))),
             ValueFormatter::shortDate(QDate(2024, 5, 6)));
    // With no data set registered, even the built-in words are unknown.
    QCOMPARE(failure(nullptr, "\\{version\\}"),
             QStringLiteral("Can't evaluate tag \"version\".\rCheck template!"));
    QCOMPARE(failure(nullptr, "\\{date\\}"),
             QStringLiteral("Can't evaluate tag \"date\".\rCheck template!"));
}

void TestFreeReporter::unknownTagHook() {
    TDbFreeReporter reporter;
    QStringList asked;
    reporter.OnUnknownTag = [&](TDbFreeReporter*, const QByteArray& tag, QByteArray& value) {
        asked << QString::fromLatin1(tag);
        if (tag != "known")
            return false;
        value = "K";
        return true;
    };
    QCOMPARE(run(reporter, "<\\{known\\}>"), QByteArray("<K>"));
    try {
        run(reporter, "\\{other\\}");
        QFAIL("no error");
    } catch (const TReporterException& e) {
        QCOMPARE(e.message(), QStringLiteral("Can't evaluate tag \"other\".\rCheck template!"));
    }
    QCOMPARE(asked, QStringList({"known", "other"}));
}

void TestFreeReporter::endWithTrailingBlankIsValueTag() {
    People p;
    p.add("A", "X", 1, 1, {});
    QCOMPARE(failure(&p.table, "\\{for DS\\}x\\{end \\}"),
             QStringLiteral("Can't find a closing \"end\" for a \"for\" cycle. Check template!"));
    QCOMPARE(failure(&p.table, "\\{end \\}"),
             QStringLiteral("Can't evaluate tag \"end \".\rCheck template!"));
}

void TestFreeReporter::errorMessages_data() {
    QTest::addColumn<QByteArray>("templ");
    QTest::addColumn<QString>("message");
    QTest::newRow("no closing bracket")
        << QByteArray("abc \\{DS.TITLE")
        << QStringLiteral("Can't find a closing bracket \"}\". Check template!");
    QTest::newRow("closing bracket outside the cycle body")
        << QByteArray("\\{for DS\\}\\{end\\} \\{DS.TITLE")
        << QStringLiteral("Can't find a closing bracket \"}\". Check template!");
    QTest::newRow("no end")
        << QByteArray("\\{for DS\\}\\{for DS\\}\\{end\\}")
        << QStringLiteral("Can't find a closing \"end\" for a \"for\" cycle. Check template!");
    QTest::newRow("end without for")
        << QByteArray("x\\{end\\}")
        << QStringLiteral(
               "There is not corresponding \"for\" tag for a \"end\" tag.\rCheck template!");
    QTest::newRow("unknown data set in cycle")
        << QByteArray("\\{for Nope.TITLE\\}\\{end\\}")
        << QStringLiteral("Can't find dataset \"Nope\".\rCheck template!");
    QTest::newRow("unknown data set in value")
        << QByteArray("\\{ DS.TITLE\\}")
        << QStringLiteral("Can't find dataset \" DS\".\rCheck template!");
    QTest::newRow("unknown cycle field")
        << QByteArray("\\{for DS.NOFIELD\\}\\{end\\}")
        << QStringLiteral("Can't find dataset field \"DS.NOFIELD\".\rCheck template!");
    QTest::newRow("unknown value field")
        << QByteArray("\\{DS.NOFIELD\\}")
        << QStringLiteral("Can't evaluate tag \"DS.NOFIELD\".\rCheck template!");
    QTest::newRow("unknown word") << QByteArray("\\{hello\\}")
                                  << QStringLiteral(
                                         "Can't evaluate tag \"hello\".\rCheck template!");
    QTest::newRow("empty tag") << QByteArray("\\{\\}")
                               << QStringLiteral("Can't evaluate tag \"\".\rCheck template!");
    QTest::newRow("star aggregate without cycle")
        << QByteArray("\\{count(DS.*)\\}")
        << QStringLiteral("Aggregate \"count(DS.*)\" can't be evaluated because\rthere is not any "
                          "cycle for dataset \"DS\".\rCheck template!");
    QTest::newRow("star aggregate names the data set by its name")
        << QByteArray("\\{Count(ds.*)\\}")
        << QStringLiteral("Aggregate \"Count(ds.*)\" can't be evaluated because\rthere is not any "
                          "cycle for dataset \"DS\".\rCheck template!");
    QTest::newRow("field aggregate without cycle")
        << QByteArray("\\{min(DS.TITLE)\\}")
        << QStringLiteral("Can't evaluate aggregate field tag \"min(DS.TITLE)\"\rCheck template!");
}

void TestFreeReporter::errorMessages() {
    QFETCH(QByteArray, templ);
    QFETCH(QString, message);
    People p;
    p.add("A", "X", 1, 1, {});
    QCOMPARE(failure(&p.table, templ), message);
}

void TestFreeReporter::closedDataSet() {
    People p;
    p.add("A", "X", 1, 1, {});
    p.table.setOpen(false);
    QCOMPARE(failure(&p.table, "\\{for ds\\}\\{end\\}"),
             QStringLiteral("Can't retrieve data from closed dataset \"ds\""));
    QCOMPARE(failure(&p.table, "\\{ds.TITLE\\}"),
             QStringLiteral("Can't retrieve data from closed dataset \"DS\""));
}

namespace {
// A scanner that records the tags it is asked for and leaves the cycle hooks unset.
class RecordingReporter : public TFreeReporter {
public:
    QList<QByteArray> tags;

protected:
    void GetTagValue(const QByteArray& tag, QByteArray& value) override {
        tags << tag;
        value = "<" + tag + ">";
    }
};
} // namespace

void TestFreeReporter::scannerWithoutHooks() {
    RecordingReporter r;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    r.Execute(QByteArray("a\\{x\\}\\{for A\\}\\{skipped\\}\\{end\\}b\\{end\\}c\\{y\\}"), out);
    // No begin hook: the cycle is skipped. No end hook: an end tag finishes the range.
    QCOMPARE(out.data(), QByteArray("a<x>b"));
    QCOMPARE(r.tags, QList<QByteArray>({"x"}));

    RecordingReporter twice;
    int ends = 0;
    twice.OnBeginCycle = [](TFreeReporter*, const QByteArray& param, bool& run) {
        run = param == "A  B";
    };
    twice.OnEndCycle = [&](TFreeReporter*, bool& finished) { finished = ++ends == 2; };
    QBuffer out2;
    out2.open(QIODevice::WriteOnly);
    twice.Execute(QByteArray("\\{for   A  B \\}[\\{v\\}]\\{end\\}!"), out2);
    QCOMPARE(out2.data(), QByteArray("[<v>][<v>]!"));
}

void TestFreeReporter::deepNestingDoesNotExhaustTheStack() {
    People p;
    p.add("A", "X", 1, 1, {});
    p.add("B", "X", 1, 1, {});
    const int depth = 2000;
    QByteArray templ;
    for (int i = 0; i < depth; ++i)
        templ += "\\{for DS\\}";
    templ += "\\{DS.TITLE\\}";
    for (int i = 0; i < depth; ++i)
        templ += "\\{end\\}";
    // Nested cycles over the same data set continue at its current record.
    QCOMPARE(run(&p.table, templ), QByteArray("AB"));
}

void TestFreeReporter::fileExecuteKeepsOutputWrittenBeforeFault() {
    QTemporaryDir dir;
    QFile t(dir.filePath("t.rtf"));
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("before \\{bad\\} after");
    t.close();
    People p;
    TDbFreeReporter reporter;
    reporter.AddDataSet(&p.table);
    QVERIFY_THROWS_EXCEPTION(TReporterException,
                             reporter.Execute(dir.filePath("t.rtf"), dir.filePath("o.rtf")));
    QFile o(dir.filePath("o.rtf"));
    QVERIFY(o.open(QIODevice::ReadOnly));
    QCOMPARE(o.readAll(), QByteArray("before "));
}

void TestFreeReporter::missingTemplateIsFileError() {
    QTemporaryDir dir;
    People p;
    TDbFreeReporter reporter;
    reporter.AddDataSet(&p.table);
    QVERIFY_THROWS_EXCEPTION(ReportFileError,
                             reporter.Execute(dir.filePath("none.rtf"), dir.filePath("o.rtf")));
    QVERIFY(!QFile::exists(dir.filePath("o.rtf")));
    QFile t(dir.filePath("t.rtf"));
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.close();
    QVERIFY_THROWS_EXCEPTION(
        ReportFileError, reporter.Execute(dir.filePath("t.rtf"), dir.filePath("no/such/o.rtf")));
}

QTEST_GUILESS_MAIN(TestFreeReporter)
#include "tst_freereporter.moc"
