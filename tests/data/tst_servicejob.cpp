// Backup and restore through the embedded engine's services manager, on real databases.
#include "TempDatabase.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "data/ServiceJob.h"

#include <QtTest>

class ServiceJobTest : public QObject {
    Q_OBJECT
private slots:
    // The database stays open while it is backed up into a folder with a name beyond Latin-1;
    // the verbose lines arrive in order while the caller keeps running its own work.
    void backupWhileConnectedThenRestoreElsewhere() {
        OpenTempDatabase open;
        open.db.MM.ExecStatement(
            "insert into cont (cd, ctcd, cnam) values (41, 1, 'Ravi Traders')");
        open.db.DTR.CommitRetaining();
        const QString folder = open.files.root() + QStringLiteral("/Sicherung Ü 备份");
        QVERIFY(QDir().mkpath(folder));
        QStringList lines;
        int pumps = 0;
        ServiceJob(ServiceJob::Action::Backup, open.files.dataPath(), folder + "/DATA.fbk")
            .run([&](const QString& line) { lines << line; }, [&] { ++pumps; });
        QVERIFY(QFileInfo(folder + "/DATA.fbk").size() > 0);
        QVERIFY(lines.first().startsWith("gbak:readied database"));
        QVERIFY(lines.filter(QRegularExpression("^gbak: ?writing")).size() > 10);
        QVERIFY(lines.last().contains("bytes written"));
        QVERIFY(pumps > 0);

        QStringList restored;
        const QString copy = open.files.root() + QStringLiteral("/DATA/Kopie.FDB");
        ServiceJob(ServiceJob::Action::Restore, copy, folder + "/DATA.fbk")
            .run([&](const QString& line) { restored << line; });
        QVERIFY(restored.filter(QRegularExpression("^gbak: ?restoring")).size() > 10);
        Databases other;
        other.open(copy, open.files.sysPath());
        QCOMPARE(other.MM.QueryText("CNAM", "CONT", "CD=41"), QStringLiteral("Ravi Traders"));
        QCOMPARE(open.db.MM.QueryCount("", "CONT"), 1);
    }

    // The service's own failure reaches the caller as the engine's message.
    void failuresAreReported() {
        TempDatabase files;
        QFile garbage(files.root() + "/DATA.fbk");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(5000, 'x'));
        garbage.close();
        const QString target = files.root() + "/DATA/New.FDB";
        try {
            ServiceJob(ServiceJob::Action::Restore, target, garbage.fileName())
                .run([](const QString&) {});
            QFAIL("a garbage backup file was restored");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("backup"), qPrintable(e.message()));
        }
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                 ServiceJob(ServiceJob::Action::Backup, files.root() + "/none.FDB",
                                            files.root() + "/none.fbk")
                                     .run([](const QString&) {}));
    }
};

QTEST_MAIN(ServiceJobTest)
#include "tst_servicejob.moc"
