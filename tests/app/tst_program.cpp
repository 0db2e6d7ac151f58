// The staged program itself, started as a real process in a temporary program folder.
#include "ServiceProcess.h"
#include "TempDatabase.h"
#include "app/CheckPrevious.h"
#include "app/SettingsStore.h"
#include "data/Connection.h"
#include "data/Databases.h"
#include "data/ScriptRunner.h"
#include "data/Transaction.h"

#include <QLocalSocket>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A copy of the staged program in a program folder of its own, with fresh databases.
struct ProgramCopy {
    ProgramCopy() : exe(files.binDir() + "/tessaro-kavelin") {
        QFile::copy(TK_STAGE_DIR "/bin/tessaro-kavelin", exe);
        QFile(exe).setPermissions(QFile(TK_STAGE_DIR "/bin/tessaro-kavelin").permissions());
    }
    QString settingsPath() const { return files.binDir() + "/settings.xml"; }

    TempDatabase files;
    QString exe;
};

pid_t pidOf(const QProcess& p) {
    return pid_t(p.processId());
}
} // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_copy = std::make_unique<ProgramCopy>(); }
    void cleanup() { m_copy.reset(); }

    void missingDatabaseEndsTheStart() {
        QFile::remove(m_copy->files.dataPath());
        QProcess p;
        start(p, *m_copy);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().startsWith("tessaro-kavelin:"));
        QVERIFY(!QFileInfo::exists(m_copy->settingsPath()));
    }

    // A database staged by an earlier build (character set NONE) is refused, never converted.
    void databaseWithoutCharacterSetIsRefused() {
        QFile::remove(m_copy->files.dataPath());
        {
            Connection connection;
            Transaction transaction(connection);
            ScriptRunner runner(transaction);
            runner.RunScript(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'x' "
                                            "DEFAULT CHARACTER SET NONE;"
                                            "CREATE TABLE CATE (CD INTEGER, TITLE VARCHAR(120));"
                                            "INSERT INTO CATE VALUES (1, 'All Contacts');")
                                 .arg(m_copy->files.dataPath()));
            transaction.commit();
        }
        QProcess p;
        start(p, *m_copy);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        const QString line = QString::fromLocal8Bit(lines.first());
        QVERIFY2(line.startsWith("tessaro-kavelin:"), qPrintable(line));
        QVERIFY2(line.contains(m_copy->files.dataPath() + " (character set NONE)"),
                 qPrintable(line));
        QVERIFY(line.contains("schema/DATA.sql"));
        // Left as it was: still NONE, the row still there.
        Databases db;
        db.MDB.setDatabaseName(m_copy->files.dataPath());
        db.MDB.open();
        QCOMPARE(db.MM.QueryText("RDB$CHARACTER_SET_NAME", "RDB$DATABASE").trimmed(),
                 QStringLiteral("NONE"));
        QCOMPARE(db.MM.QueryText("TITLE", "CATE", "CD=1"), QStringLiteral("All Contacts"));
    }

    void endsCleanlyOnSigtermAndSavesSettings() {
        QProcess p;
        start(p, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        ::kill(pidOf(p), SIGTERM);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QFile settings(m_copy->settingsPath());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(
            settings.readAll().startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"));
    }

    void secondStartEndsAtOnce() {
        QProcess first;
        start(first, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        QProcess second;
        start(second, *m_copy);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitCode(), 0);
    }

    void damagedSettingsNeverStopTheProgram() {
        QFile bad(m_copy->settingsPath());
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<?xml version=\"1.0\"?><Configuration><PD><SRB>x</PD>");
        bad.close();
        QProcess p;
        start(p, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        p.terminate();
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFileInfo::exists(m_copy->settingsPath() + ".bad"));
        QVERIFY(p.readAllStandardError().contains("settings.xml"));
    }

    // A second start whose first instance hangs tells the user so instead of ending silently.
    void aHungFirstInstanceIsReported() {
        QProcess first;
        start(first, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        ::kill(pidOf(first), SIGSTOP);
        const auto resume = qScopeGuard([&] { ::kill(pidOf(first), SIGCONT); });
        QProcess second;
        start(second, *m_copy);
        QElapsedTimer timer;
        timer.start();
        QByteArray said;
        while (!said.contains('\n') && second.state() == QProcess::Running &&
               timer.elapsed() < 20000) {
            second.waitForReadyRead(200);
            said += second.readAllStandardError();
        }
        // The message waits for the user: the start has not ended by itself.
        QCOMPARE(second.state(), QProcess::Running);
        QVERIFY2(said.contains("already running but does not respond"), said.constData());
        // A signal ends it with its message open.
        ::kill(pidOf(second), SIGTERM);
        const bool ended = second.waitForFinished(15000);
        if (!ended)
            second.kill();
        QVERIFY2(ended, "the start showing the message did not end on SIGTERM");
        ::kill(pidOf(first), SIGCONT);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
    }

    // SIGTERM and SIGINT end the program whatever the state of the settings file; a file that
    // cannot be replaced is left exactly as it was.
    void endsOnSignalWhenSettingsCannotBeSaved_data() {
        QTest::addColumn<bool>("directory");
        QTest::addColumn<int>("signal");
        QTest::newRow("read-only file, SIGTERM") << false << SIGTERM;
        QTest::newRow("read-only file, SIGINT") << false << SIGINT;
        QTest::newRow("directory, SIGTERM") << true << SIGTERM;
        QTest::newRow("directory, SIGINT") << true << SIGINT;
    }
    void endsOnSignalWhenSettingsCannotBeSaved() {
        QFETCH(bool, directory);
        QFETCH(int, signal);
        const QString path = m_copy->settingsPath();
        const QByteArray kept = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                "<Configuration>\r\n  <PD>\r\n    <SRB>kept</SRB>\r\n"
                                "  </PD>\r\n</Configuration>\r\n";
        if (directory) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kept);
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        QProcess p;
        start(p, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        // The signal must find the main thread asleep in its event loop, as at a logout.
        QVERIFY(waitUntilIdle(pidOf(p)));
        ::kill(pidOf(p), signal);
        const bool ended = p.waitForFinished(15000);
        if (!ended)
            p.kill();
        QVERIFY2(ended, "the program did not end");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        if (directory) {
            QVERIFY(QFileInfo(path).isDir());
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), kept);
        }
    }

    // A signal ends the process within the exit deadline even when the main thread is stuck
    // (here: reading a settings file that is a FIFO nobody writes, as a file system that does
    // not answer), not only when the event loop gets to read the signal.
    void signalEndsTheProgramWhileTheMainThreadIsBlocked() {
        const QByteArray fifo = QFile::encodeName(m_copy->settingsPath());
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        QProcess p;
        start(p, *m_copy);
        // The writer end opens once the program has the FIFO open for reading; held open and
        // never written, the program's read waits for ever.
        int writer = -1;
        QElapsedTimer timer;
        timer.start();
        while (writer < 0 && timer.elapsed() < 20000 && p.state() == QProcess::Running) {
            writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer < 0)
                QThread::msleep(20);
        }
        QVERIFY(writer >= 0);
        const auto closeWriter = qScopeGuard([&] { ::close(writer); });
        QThread::msleep(200);
        ::kill(pidOf(p), SIGTERM);
        const bool ended = p.waitForFinished(15000);
        if (!ended)
            p.kill();
        QVERIFY2(ended, "the program did not end");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardError().contains("did not end in time"));
    }

    // Every start asks for the top advertisement at once, however the first tick and the
    // window's activation fall (the regular tick after a missed one is 15 s away).
    void everyStartRequestsTheTopAdvert() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        {
            SettingsStore store(m_copy->settingsPath());
            store.WriteText("SERVICE\\BASE0", service.base());
            store.WriteText("SERVICE\\BASE1", service.base());
            QVERIFY(store.Flush());
        }
        for (int run = 1; run <= 20; ++run) {
            service.clearRequests();
            QProcess p;
            start(p, *m_copy, false);
            QVERIFY(waitUntilListening(*m_copy));
            QElapsedTimer timer;
            timer.start();
            bool asked = false;
            while (!asked && timer.elapsed() < 10000) {
                QTest::qWait(50);
                for (const QString& request : service.requests())
                    asked = asked || request.startsWith("/hvx/adv_top.php?pgi=0&");
            }
            ::kill(pidOf(p), SIGTERM);
            QVERIFY(p.waitForFinished(15000));
            QVERIFY2(asked, qPrintable(QStringLiteral("start %1 asked for no advertisement: %2")
                                           .arg(run)
                                           .arg(service.requests().join(u' '))));
        }
    }

    // A copy in another folder starts and ends while this one is stopped dead (SIGSTOP holds
    // every lock it has, as a hung program would).
    void aHungCopyNeverBlocksACopyInAnotherFolder() {
        QProcess hung;
        start(hung, *m_copy);
        QVERIFY(waitUntilListening(*m_copy));
        ::kill(pidOf(hung), SIGSTOP);
        const auto resume = qScopeGuard([&] { ::kill(pidOf(hung), SIGCONT); });

        ProgramCopy other;
        QProcess beside;
        start(beside, other);
        QVERIFY(waitUntilListening(other));
        ::kill(pidOf(beside), SIGTERM);
        QVERIFY(beside.waitForFinished(20000));
        QCOMPARE(beside.exitCode(), 0);
        QVERIFY(QFileInfo::exists(other.settingsPath()));
        // Each copy keeps the engine's lock files in its own temp folder.
        QVERIFY(QFileInfo::exists(m_copy->files.root() + "/temp/fb-lock/fb_init"));
        QVERIFY(QFileInfo::exists(other.files.root() + "/temp/fb-lock/fb_init"));

        ::kill(pidOf(hung), SIGCONT);
        hung.terminate();
        QVERIFY(hung.waitForFinished(20000));
        QCOMPARE(hung.exitCode(), 0);
    }

private:
    // Without `closedProxy` the program reaches a service on loopback directly.
    void start(QProcess& p, const ProgramCopy& copy, bool closedProxy = true) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // The program's service traffic goes to a closed loopback port.
        env.remove("http_proxy");
        env.remove("HTTP_PROXY");
        if (closedProxy)
            env.insert("http_proxy", "http://127.0.0.1:9");
        // One private runtime folder for every copy, as in one desktop session.
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        p.setProcessEnvironment(env);
        p.start(copy.exe, {});
        QVERIFY(p.waitForStarted(5000));
    }

    // The program is up once it answers on its activation socket.
    bool waitUntilListening(const ProgramCopy& copy) {
        const QString name = CheckPrevious::activationName(copy.exe);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000) {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (socket.waitForConnected(200))
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    // The main thread sleeps (waits for events) in a row of checks.
    static bool waitUntilIdle(pid_t pid) {
        QElapsedTimer timer;
        timer.start();
        int asleep = 0;
        while (asleep < 10 && timer.elapsed() < 20000) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                return false;
            const QByteArray line = stat.readAll();
            const qsizetype close = line.lastIndexOf(')');
            asleep = line.mid(close + 2, 1) == "S" ? asleep + 1 : 0;
            QThread::msleep(20);
        }
        return asleep >= 10;
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<ProgramCopy> m_copy;
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
