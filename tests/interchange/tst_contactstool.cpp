// The tessaro-contacts tool as a shell or a scheduled job runs it: a copy in the bin folder of
// a temporary program folder, working on that folder's databases; its output and exit codes.
#include "TempDatabase.h"
#include "app/CheckPrevious.h"
#include "data/Databases.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {
struct Run {
    int code = -1;
    QString out, err;
};

QString data(const char* name) {
    return QStringLiteral(TK_INTERCHANGE_DATA "/") + QLatin1String(name);
}
} // namespace

class ContactsToolTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempDatabase> dir;
    QString tool;

    Run run(const QStringList& args) {
        QProcess p;
        // Under the sanitizer build, LeakSanitizer's own tracer crashes at the end of the tool
        // started from here (not when started from a shell); its leak check is left out for
        // the tool alone, the address checks stay.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(tool, args);
        if (!p.waitForFinished(60000))
            qFatal("tessaro-contacts did not end");
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    int count(const QString& condition) {
        Databases db;
        db.open(dir->dataPath(), dir->sysPath());
        return db.MM.QueryCount(QString(), QStringLiteral("CONT"), condition);
    }

private slots:
    void init() {
        dir = std::make_unique<TempDatabase>();
        tool = dir->binDir() + QStringLiteral("/tessaro-contacts");
        QVERIFY(QFile::copy(QStringLiteral(TK_CONTACTS_TOOL), tool));
    }

    void importThenExportWithExitCodes() {
        Run r = run({"import", data("android21.vcf"), data("outlook1252.csv")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("%1: 3 contacts imported.\n%2: 1 contact imported.\n")
                            .arg(data("android21.vcf"), data("outlook1252.csv")));
        // Into a folder path that is created, "/" inside a title written "\/".
        r = run({"import", "--folder", "Clients/2024\\/25", data("iphone30.vcf")});
        QCOMPARE(r.code, 0);
        r = run({"import", "--folder", "Clients/2024\\/25", data("iphone30.vcf")});
        QVERIFY(r.out.endsWith(QStringLiteral("0 contacts imported, 1 skipped as duplicates.\n")));
        QCOMPARE(count(QString()), 5);

        r = run({"export", "--folder", "Clients"}); // with the folders below it
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("BEGIN:VCARD\r\nVERSION:4.0\r\n")));
        QCOMPARE(r.out.count(QStringLiteral("BEGIN:VCARD")), 1);
        const QString csv = dir->root() + QStringLiteral("/all.csv");
        r = run({"export", "--output", csv}); // the format from the name
        QCOMPARE(r.code, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 1 + 5); // line breaks inside notes are LF
        r = run({"export", "--format", "vcard3"});
        QCOMPARE(r.out.count(QStringLiteral("VERSION:3.0")), 5);
    }

    void wrongWordsAndFailures() {
        Run r = run({});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("tessaro-contacts import [--folder PATH] FILE...")));
        QCOMPARE(run({"frobnicate"}).code, 2);
        QCOMPARE(run({"import"}).code, 2);
        QCOMPARE(run({"export", "--format", "pdf"}).code, 2);
        QCOMPARE(run({"export", "--folder"}).code, 2);
        r = run({"import", dir->root() + QStringLiteral("/missing.vcf")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("tessaro-contacts: ")), 1); // one line
        r = run({"export", "--folder", "No Such Folder"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.endsWith(
            QStringLiteral("tessaro-contacts: there is no folder \"No Such Folder\"\n")));
        r = run({"import", "--folder", "All Contacts", data("android21.vcf")});
        QCOMPARE(r.code, 1);
        QCOMPARE(count(QString()), 0);
    }

    // While the program runs it holds the databases: the tool says so at once.
    void programRunningIsSaidPlainly() {
        CheckPrevious running(dir->binDir() + QStringLiteral("/tessaro-kavelin"));
        QVERIFY(!running.ActivatePreviousInstance(0, 1));
        // Every command that reads the databases says so, the report command too.
        for (const QStringList& words :
             {QStringList{"import", data("android21.vcf")}, QStringList{"export"},
              QStringList{"report", "--pdf", dir->binDir() + "/all.pdf"}}) {
            const Run r = run(words);
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("Tessaro Kavelin is running")),
                     qPrintable(r.err));
        }
        QVERIFY(!QFile::exists(dir->binDir() + "/all.pdf"));
        running.release();
        QCOMPARE(run({"import", data("android21.vcf")}).code, 0);
    }
};

QTEST_GUILESS_MAIN(ContactsToolTest)
#include "tst_contactstool.moc"
