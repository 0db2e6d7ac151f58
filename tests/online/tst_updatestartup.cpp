// The start-up update branch of the staged program, as real processes: install, hand over to
// the real updater, the updater's restart and the confirmation, and the failure paths.
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "app/CheckPrevious.h"
#include "data/Databases.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QtTest>
#include <csignal>
#include <unistd.h>

namespace {
const QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Processes running the executable at `path` (the updater restarts the program detached).
QList<qint64> runningPids(const QString& path) {
    QList<qint64> pids;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        if (pid.front().isDigit() && QFile::symLinkTarget("/proc/" + pid + "/exe") == path)
            pids << pid.toLongLong();
    }
    return pids;
}
} // namespace

class UpdateStartupTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_tmp = std::make_unique<TempDatabase>();
        m_exe = m_tmp->binDir() + "/tessaro-kavelin";
        copyExecutable(TK_STAGE_DIR "/bin/tessaro-kavelin", m_exe);
        copyExecutable(TK_STAGE_DIR "/bin/replica", m_tmp->binDir() + "/replica");
    }
    void cleanup() {
        for (qint64 pid : runningPids(m_exe))
            ::kill(pid_t(pid), SIGKILL);
        m_tmp.reset();
    }

    // State 2 with intact parts: the installer runs the scripts and hands over; the updater
    // puts the files in place and starts the program, which confirms and starts normally.
    void installHandOverAndConfirm() {
        UpdateSetFixture set;
        set.addFile("bin/readme.txt", "new notes");
        // Bytes that do not compress make the set span several volumes whatever the size of
        // the updater binary in this build.
        set.addFile("bin/payload.bin", UpdateSetFixture::noise(300000));
        set.addFile("replica", readAll(TK_STAGE_DIR "/bin/replica"), Executable);
        set.addFile("templates/NEW.TEMPLATE.RTF", "{\\rtf1 new}");
        set.addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                   "(99003, 0, 'Updated Town', '03');\nCOMMIT;\n");
        set.addFile("sys_100.sql", "INSERT INTO HVX (ID, COM) VALUES (8, 'system script');\n"
                                   "UPDATE HVX SET COM='101' WHERE ID=1;\n");
        QCOMPARE(set.build("100k"), 0);
        QVERIFY(set.partCount() > 1);
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            set.placeDownloaded(db, temp());
        }
        QProcess first;
        startProgram(first);
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        // The updater puts the files in place and starts the program, which comes up.
        QTRY_VERIFY2_WITH_TIMEOUT(listening(),
                                  first.readAllStandardError() + readAll(temp() + "/replica.log") +
                                      " running: " + QByteArray::number(runningPids(m_exe).size()),
                                  60000);
        QCOMPARE(readAll(m_tmp->binDir() + "/readme.txt"), "new notes");
        QCOMPARE(readAll(m_tmp->binDir() + "/payload.bin"), UpdateSetFixture::noise(300000));
        for (qint64 pid : runningPids(m_exe))
            ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(runningPids(m_exe).isEmpty(), 30000);
        QCOMPARE(state(), QString("0"));
        QVERIFY(!QFileInfo::exists(temp() + "/replica.ok"));
        QCOMPARE(readAll(m_tmp->root() + "/templates/NEW.TEMPLATE.RTF"), "{\\rtf1 new}");
        QCOMPARE(query("TITLE|CTRY|CD=99003", true), QString("Updated Town"));
        QCOMPARE(query("COM|HVX|ID=8", false), QString("system script"));
        QCOMPARE(query("COM|HVX|ID=1", false), QString("101"));
        QVERIFY(!QFileInfo::exists(m_tmp->root() + "/prs_100.sql"));
        QVERIFY(readAll(temp() + "/replica.log").contains("update finished"));
    }

    // State 3 without the updater's marker: every start hands over at once.
    void unconfirmedUpdateHandsOverAgain() {
        setState(3);
        QProcess p;
        startProgram(p);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(state(), QString("3"));
        // The updater was started with the program's path: it found nothing to copy.
        QTRY_VERIFY2_WITH_TIMEOUT(readAll(temp() + "/replica.log").contains("no unpacked update"),
                                  p.readAllStandardError() + readAll(temp() + "/replica.log"),
                                  30000);
    }

    void failuresStartNormally_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("stateAfter");
        QTest::newRow("damaged part") << "damaged"
                                      << "1";
        QTest::newRow("no archive") << "noarchive"
                                    << "2";
    }
    void failuresStartNormally() {
        QFETCH(QString, fault);
        QFETCH(QString, stateAfter);
        UpdateSetFixture set;
        set.addFile("bin/data.bin", UpdateSetFixture::noise(100000));
        set.addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                   "(99004, 0, 'Never', '04');\nCOMMIT;\n");
        QCOMPARE(set.build(), 0);
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            if (fault == "noarchive") {
                // A signed set whose one part is not a 7z archive: the installer cannot open it.
                const QByteArray bytes = UpdateSetFixture::noise(4096, 5);
                QFile part(set.updateDir() + "/file.zup.001");
                QVERIFY(part.open(QIODevice::WriteOnly | QIODevice::Truncate));
                part.write(bytes);
                part.close();
                QFile list(set.updateDir() + "/parts.txt");
                QVERIFY(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
                list.write("1,'" +
                           QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex() +
                           "'\n");
                list.close();
                QCOMPARE(set.sign(), 0);
            }
            set.placeDownloaded(db, temp());
            if (fault == "damaged")
                QFile::resize(temp() + "/file.zup.001", 100);
        }
        QProcess p;
        startsAndEndsNormally(p);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(state(), stateAfter);
        QCOMPARE(query("TITLE|CTRY|CD=99004", true), QString());
        QVERIFY(!QFileInfo::exists(temp() + "/replica.log"));
    }

    // A set that would not fit on the disk is refused before anything is unpacked, and the
    // program starts; with the disk then filled up the program still ends normally.
    void fullDiskRefusesTheSet() {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root; the size check is covered by the installer "
                  "test");
        QTemporaryDir mountPoint;
        const QString root = mountPoint.path();
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=200m", "tmpfs", root}) != 0)
            QSKIP("no tmpfs mount here; the size check is covered by the installer test");
        auto unmount = qScopeGuard([&] {
            for (qint64 pid : runningPids(root + "/bin/tessaro-kavelin"))
                ::kill(pid_t(pid), SIGKILL);
            QProcess::execute("umount", {"-l", root});
        });
        for (const char* dir : {"bin", "DATA", "temp"})
            QVERIFY(QDir().mkpath(root + "/" + dir));
        const QString exe = root + "/bin/tessaro-kavelin";
        copyExecutable(TK_STAGE_DIR "/bin/tessaro-kavelin", exe);
        QVERIFY(QFile::copy(m_tmp->dataPath(), root + "/DATA/DATA.FDB"));
        QVERIFY(QFile::copy(m_tmp->sysPath(), root + "/DATA/SYS.FDB"));

        // 150 MB of zeros pack into a small archive; with 100 MB kept free they cannot fit.
        UpdateSetFixture set;
        set.addFile("bin/zeros.bin", "");
        QVERIFY(QFile::resize(set.sourceDir() + "/bin/zeros.bin", qint64(150) << 20));
        set.addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                   "(99008, 0, 'Never', '08');\nCOMMIT;\n");
        QCOMPARE(set.build(), 0);
        {
            Databases db;
            db.open(root + "/DATA/DATA.FDB", root + "/DATA/SYS.FDB");
            set.placeDownloaded(db, root + "/temp");
        }
        QProcess p;
        startProgram(p, exe);
        QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::Running && listening(exe), 60000);
        QVERIFY(!QFileInfo::exists(root + "/temp/file/bin/zeros.bin"));

        // The rest of the disk filled up under the running program.
        QFile filler(root + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
        p.terminate();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QByteArray errors = p.readAllStandardError();
        QVERIFY2(errors.contains("Not enough free disk space"), errors.constData());
        QFile::remove(root + "/filler");
        Databases db;
        db.open(root + "/DATA/DATA.FDB", root + "/DATA/SYS.FDB");
        QCOMPARE(db.MM.QueryText("TITLE", "CTRY", "CD=99008"), QString());
    }

    // A set that fails to install is set aside at the second start; from then on the
    // program starts without trying it.
    void failingSetIsSetAside() {
        QDir().mkpath(m_tmp->root() + "/templates");
        UpdateSetFixture set;
        set.addFile("templates", "a file where the folder is");
        QCOMPARE(set.build(), 0);
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            set.placeDownloaded(db, temp());
        }
        const auto startAndEnd = [this] {
            QProcess p;
            startProgram(p);
            [&] {
                QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::Running && listening(), 60000);
            }();
            p.terminate();
            p.waitForFinished(30000);
            return p.readAllStandardError();
        };
        QByteArray errors = startAndEnd();
        QVERIFY2(errors.contains("update not installed") && !errors.contains("set aside"),
                 errors.constData());
        QCOMPARE(state(), QString("2"));
        errors = startAndEnd();
        QVERIFY2(errors.contains("update set aside"), errors.constData());
        QCOMPARE(state(), QString("0"));
        QVERIFY(!QFileInfo::exists(temp() + "/file.zup.001"));
        errors = startAndEnd();
        QVERIFY2(!errors.contains("update not installed"), errors.constData());
        QCOMPARE(state(), QString("0"));
    }

    // A downloaded set whose stored signature does not hold for the stored fingerprint and part
    // list is set aside before anything is unpacked or run, and the program starts normally.
    void untrustedDownloadIsSetAside_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no signature") << "unsigned";
        QTest::newRow("signed with another key") << "otherkey";
        QTest::newRow("part list swapped after the check") << "parts";
        QTest::newRow("fingerprint swapped after the check") << "fingerprint";
    }
    void untrustedDownloadIsSetAside() {
        QFETCH(QString, fault);
        UpdateSetFixture set;
        set.addFile("replica", "#!/bin/sh\ntouch \"$0.ran\"\n", Executable);
        set.addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                   "(99009, 0, 'Never', '09');\nCOMMIT;\n");
        const QString otherKey = set.root() + "/other";
        QCOMPARE(set.makeKey(otherKey), 0);
        QCOMPARE(set.build("10m", fault == "otherkey" ? otherKey + ".key"
                                                      : UpdateSetFixture::developmentKey()),
                 0);
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            set.placeDownloaded(db, temp());
            if (fault == "unsigned")
                db.SYS_MM.ExecStatement("delete from hvx where id=2");
            if (fault == "fingerprint")
                db.SYS_MM.ExecStatement("update hvx set com='0' || com where id=3");
            if (fault == "parts") {
                // Another archive in the part's place, its digest in the queue to match.
                UpdateSetFixture other;
                other.addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                             "(99009, 0, 'Swapped', '09');\nCOMMIT;\n");
                QCOMPARE(other.build(), 0);
                QFile::remove(temp() + "/file.zup.001");
                QVERIFY(QFile::copy(other.updateDir() + "/file.zup.001", temp() + "/file.zup.001"));
                db.SYS_MM.ExecStatement(
                    QString("update hvxupd set hsh='%1' where id=1")
                        .arg(QString::fromLatin1(other.partList()).section('\'', 1, 1)));
            }
            db.SYS_DTR.CommitRetaining();
        }
        QProcess p;
        startsAndEndsNormally(p);
        if (QTest::currentTestFailed())
            return;
        const QStringList errors = QString::fromLocal8Bit(p.readAllStandardError())
                                       .split('\n', Qt::SkipEmptyParts)
                                       .filter("update");
        QCOMPARE(errors, QStringList{"tessaro-kavelin: update set aside: its signature is "
                                     "missing or wrong"});
        QCOMPARE(state(), QString("0"));
        QCOMPARE(query("COM|HVX|ID=3", false), QString());
        QCOMPARE(query("COUNT(*)|HVXUPD|ID>0", false), QString("0"));
        QCOMPARE(QDir(temp()).entryList({"file.zup.*"}, QDir::Files), QStringList());
        QVERIFY(!QFileInfo::exists(temp() + "/file"));
        QCOMPARE(query("TITLE|CTRY|CD=99009", true), QString());
        QCOMPARE(readAll(m_tmp->binDir() + "/replica"), readAll(TK_STAGE_DIR "/bin/replica"));
        QVERIFY(!QFileInfo::exists(temp() + "/replica.log"));
    }

private:
    QString temp() const { return m_tmp->root() + "/temp"; }
    static void copyExecutable(const QString& from, const QString& to) {
        QVERIFY(QFile::copy(from, to));
        QFile(to).setPermissions(Executable);
    }
    QString query(const QString& what, bool data) const {
        Databases db;
        db.open(m_tmp->dataPath(), m_tmp->sysPath());
        SingleValueHelper& mm = data ? db.MM : db.SYS_MM;
        return mm.QueryText(what.section('|', 0, 0), what.section('|', 1, 1), what.section('|', 2));
    }
    QString state() const { return query("COM|HVX|ID=4", false); }
    void setState(int value) {
        Databases db;
        db.open(m_tmp->dataPath(), m_tmp->sysPath());
        db.SYS_MM.ExecStatement(QString("update hvx set com=%1 where id=4").arg(value));
        db.SYS_DTR.CommitRetaining();
    }
    // The program has started normally once it answers on its activation socket.
    bool listening() const { return listening(m_exe); }
    static bool listening(const QString& exe) {
        QLocalSocket socket;
        socket.connectToServer(CheckPrevious::activationName(exe));
        return socket.waitForConnected(200);
    }
    void startProgram(QProcess& p) { startProgram(p, m_exe); }
    // The staged program starts, comes up and ends normally on SIGTERM.
    void startsAndEndsNormally(QProcess& p) {
        startProgram(p);
        QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::Running && listening(), 60000);
        p.terminate();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
    }
    void startProgram(QProcess& p, const QString& exe) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // The program's service traffic goes to a closed loopback port.
        env.insert("http_proxy", "http://127.0.0.1:9");
        const QString runtime = m_tmp->root() + "/temp/runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        p.setProcessEnvironment(env);
        p.start(exe, {});
        QVERIFY(p.waitForStarted(5000));
    }

    std::unique_ptr<TempDatabase> m_tmp;
    QString m_exe;
};

QTEST_GUILESS_MAIN(UpdateStartupTest)
#include "tst_updatestartup.moc"
