// The tessaro-contacts tool's report command, run as a scheduled job runs it: a real process
// in a program folder with its databases and templates, the PDF read back with pdftotext.
#include "PersonalFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};
} // namespace

class ReportCommandTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PersonalFixture> f;
    QTemporaryDir out;
    QString tool;

    // Runs the tool from another folder than its own, with a relative PDF name.
    Run run(const QStringList& words) {
        QProcess p;
        p.setWorkingDirectory(out.path());
        p.start(tool, words);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    static QString pdfText(const QString& pdf) {
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void init() {
        f = std::make_unique<PersonalFixture>();
        f->installTemplates();
        tool = f->binDir() + "/tessaro-contacts";
        QFile::remove(tool);
        QVERIFY(QFile::copy(TK_STAGE_DIR "/bin/tessaro-contacts", tool));
    }
    void cleanup() { f.reset(); }

    // A folder's report holds its contacts and those of the folders below it, in list order,
    // and no other contact.
    void folderReportAsPdf() {
        const int customers = f->addFolder(0, "Customers");
        const int lahore = f->addFolder(customers, "Lahore");
        const int gulberg = f->addFolder(lahore, "Gulberg");
        const int suppliers = f->addFolder(0, "Suppliers");
        f->addContact(customers, "Zafar Traders", {{"PHN", "042-111"}});
        f->addContact(gulberg, "Akbar Stores", {{"PHN", "042-222"}});
        f->addContact(lahore, QString::fromUtf8("مکتبہ لاہور"), {{"PHN", "042-333"}});
        f->addContact(suppliers, "Supplier Only");
        f->closeDatabases();

        const Run r = run({"report", "--folder", "Customers", "--pdf", "customers.pdf"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.err.isEmpty());
        const QString text = pdfText(out.filePath("customers.pdf"));
        const qsizetype akbar = text.indexOf("Akbar Stores");
        const qsizetype zafar = text.indexOf("Zafar Traders");
        QVERIFY2(akbar >= 0 && zafar > akbar, qPrintable(text));
        QVERIFY(text.contains("042-333"));
        QVERIFY(!text.contains("Supplier Only"));
        QVERIFY2(text.contains("Entries listed: 3"), qPrintable(text));

        // A folder below, by its path; the whole directory without --folder.
        QVERIFY(run({"report", "--folder", "Customers/Lahore", "--pdf", "lahore.pdf"}).exitCode ==
                0);
        QVERIFY(pdfText(out.filePath("lahore.pdf")).contains("Entries listed: 2"));
        QVERIFY(run({"report", "--pdf", "all.pdf"}).exitCode == 0);
        QVERIFY(pdfText(out.filePath("all.pdf")).contains("Entries listed: 4"));
    }

    // Wrong words answer 2 with the usage; a failure answers 1 with one line and no file.
    void exitCodes() {
        f->closeDatabases();
        Run r = run({"report", "--folder", "X"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("usage: tessaro-contacts report [--folder PATH] --pdf FILE"),
                 qPrintable(r.err));
        QCOMPARE(run({"report", "--pdf"}).exitCode, 2);
        QCOMPARE(run({"report", "--colour", "red", "--pdf", "x.pdf"}).exitCode, 2);
        QCOMPARE(run({"nonsense"}).exitCode, 2);
        QCOMPARE(run({}).exitCode, 2);

        r = run({"report", "--folder", "Nowhere", "--pdf", "x.pdf"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains("Nowhere"), qPrintable(r.err));
        r = run({"report", "--pdf", out.filePath("missing/x.pdf")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFileInfo::exists(out.filePath("x.pdf")));
        QVERIFY(!QFileInfo::exists(out.filePath("missing")));
    }
};

QTEST_GUILESS_MAIN(ReportCommandTest)
#include "tst_reportcommand.moc"
