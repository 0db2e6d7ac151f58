// The single-instance guard with real processes.
#include "app/CheckPrevious.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

class GuardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_probe = QFINDTESTDATA("guard_probe");
        if (m_probe.isEmpty())
            m_probe = QCoreApplication::applicationDirPath() + "/guard_probe";
        QVERIFY(QFileInfo::exists(m_probe));
    }

    void blockNameDropsSlashesAndNamesTheUser() {
        QCOMPARE(CheckPrevious::blockName("/opt/kit/bin/kit"),
                 QStringLiteral("/optkitbinkit.%1").arg(::getuid()));
    }

    void secondStartIsRefusedAndBringsTheFirstForward() {
        auto first = start(m_probe);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        auto second = start(m_probe);
        QCOMPARE(readLine(*second), QByteArray("refused"));
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(readLine(*first), QByteArray("activated"));
        stop(*first);
        // The count was given back: the next start is admitted as the only one.
        auto third = start(m_probe);
        QCOMPARE(readLine(*third), QByteArray("admitted 1"));
        stop(*third);
    }

    void aCopyInAnotherFolderRunsBeside() {
        QTemporaryDir dir;
        const QString copy = dir.path() + "/guard_probe";
        QVERIFY(QFile::copy(m_probe, copy));
        QFile(copy).setPermissions(QFile(m_probe).permissions());
        auto first = start(m_probe);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        auto other = start(copy);
        QCOMPARE(readLine(*other), QByteArray("admitted 1"));
        stop(*other);
        stop(*first);
    }

    void aKilledInstanceNeverLocksTheUserOut() {
        auto first = start(m_probe);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        auto next = start(m_probe);
        QCOMPARE(readLine(*next), QByteArray("admitted 1"));
        auto refused = start(m_probe);
        QCOMPARE(readLine(*refused), QByteArray("refused"));
        QVERIFY(refused->waitForFinished(5000));
        stop(*next);
    }

    // A start from the desktop (XDG_RUNTIME_DIR, TMPDIR set) and one from a shell (neither
    // set) see each other.
    void startsInOtherEnvironmentsFindTheSameInstance() {
        QTemporaryDir runtime, tmp;
        QProcessEnvironment desktop = QProcessEnvironment::systemEnvironment();
        desktop.insert("XDG_RUNTIME_DIR", runtime.path());
        desktop.insert("TMPDIR", tmp.path());
        QProcessEnvironment shell = QProcessEnvironment::systemEnvironment();
        shell.remove("XDG_RUNTIME_DIR");
        shell.remove("TMPDIR");

        auto first = start(m_probe, {}, desktop);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        auto second = start(m_probe, {}, shell);
        QCOMPARE(readLine(*second), QByteArray("refused"));
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(readLine(*first), QByteArray("activated"));
        // The block survived the refused start: a third start is still refused.
        auto third = start(m_probe, {}, desktop);
        QCOMPARE(readLine(*third), QByteArray("refused"));
        QVERIFY(third->waitForFinished(5000));
        stop(*first);
    }

    // A running instance that hangs (stopped) is reported as not answering.
    void aHungInstanceIsReportedAsNotAnswering() {
        auto first = start(m_probe);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        ::kill(pid_t(first->processId()), SIGSTOP);
        auto second = start(m_probe, {"300"});
        const QByteArray answer = readLine(*second);
        ::kill(pid_t(first->processId()), SIGCONT);
        QCOMPARE(answer, QByteArray("unanswered"));
        QVERIFY(second->waitForFinished(5000));
        // Running again, it answers the next start.
        auto third = start(m_probe);
        QCOMPARE(readLine(*third), QByteArray("refused"));
        QVERIFY(third->waitForFinished(5000));
        stop(*first);
    }

    // Another user's start of the same executable runs on its own block.
    void anotherUserRunsBeside() {
        if (::getuid() != 0)
            QSKIP("needs root to start a process as another user");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ExeOther);
        const QString copy = dir.path() + "/guard_probe";
        QVERIFY(QFile::copy(m_probe, copy));
        QFile(copy).setPermissions(QFile(m_probe).permissions() | QFile::ExeOther);
        auto first = start(copy);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        auto other = std::make_unique<QProcess>();
        other->setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        });
        other->start(copy, {});
        QVERIFY(other->waitForStarted(5000));
        QCOMPARE(readLine(*other), QByteArray("admitted 1"));
        stop(*other);
        stop(*first);
    }

    // The socket answers this user's processes only; other peers and connections beyond the
    // cap are closed unanswered, and the user's next start is still answered.
    void activationAnswersOnlyTheUsersOwnProcesses() {
        CheckPrevious guard(m_probe + ".in-test");
        QVERIFY(!guard.ActivatePreviousInstance(1, 1));
        int activations = 0;
        guard.listenForActivation([&] { ++activations; });
        const QString path = CheckPrevious::activationName(m_probe + ".in-test");
        QCOMPARE(QFileInfo(path).absolutePath(), CheckPrevious::privateFolder());
        QCOMPARE(QFileInfo(CheckPrevious::privateFolder()).permissions().toInt() & 0x0077, 0);

        CheckPrevious::setPeerUidOverride(::getuid() + 1);
        QCOMPARE(ask(path), QByteArray("unanswered"));
        CheckPrevious::setPeerUidOverride(std::nullopt);
        QCOMPARE(activations, 0);

        // Connections left open: beyond the cap they are closed at once.
        std::vector<std::unique_ptr<QLocalSocket>> held;
        for (int i = 0; i < 40; ++i) {
            held.push_back(std::make_unique<QLocalSocket>());
            held.back()->connectToServer(path);
            QVERIFY(held.back()->waitForConnected(2000));
        }
        QTRY_COMPARE(activations, CheckPrevious::MaxConnections);
        held.clear();
        QTest::qWait(100);
        QCOMPARE(ask(path), QByteArray("ok"));
    }

    // Another user can neither reach the socket nor stop a start with a block of the same name.
    void anotherUserCannotReachOrBlockTheProgram() {
        if (::getuid() != 0)
            QSKIP("needs root to act as another user");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ExeOther);
        const QString copy = dir.path() + "/guard_probe";
        QVERIFY(QFile::copy(m_probe, copy));
        QFile(copy).setPermissions(QFile(m_probe).permissions() | QFile::ExeOther);
        // The other user made the block (and the lock objects once kept beside it) first.
        const QString name = CheckPrevious::blockName(copy);
        QStringList planted;
        for (const QString& object : {name, name + ".start", name + ".lock"}) {
            const int fd =
                shm_open(QFile::encodeName(object).constData(), O_RDWR | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            QVERIFY(::ftruncate(fd, 20) == 0 && ::fchown(fd, 65534, 65534) == 0);
            ::close(fd);
            planted << object;
        }
        const auto removePlanted = qScopeGuard([&] {
            for (const QString& object : planted)
                shm_unlink(QFile::encodeName(object).constData());
        });
        auto first = start(copy);
        QCOMPARE(readLine(*first), QByteArray("admitted 1"));
        auto second = start(copy);
        QCOMPARE(readLine(*second), QByteArray("refused"));
        QCOMPARE(readLine(*first), QByteArray("activated"));

        auto other = std::make_unique<QProcess>();
        other->setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        });
        other->start(copy, {"--connect", CheckPrevious::activationName(copy)});
        QVERIFY(other->waitForFinished(10000));
        QCOMPARE(other->readAllStandardOutput().trimmed(), QByteArray("unreachable"));
        stop(*first);
    }

private:
    // Connects as a later start does, from a probe process (this process serves the socket and
    // keeps its event loop running meanwhile); answers what the probe printed.
    QByteArray ask(const QString& path) {
        QProcess client;
        QSignalSpy finished(&client, &QProcess::finished);
        client.start(m_probe, {"--connect", path});
        if (!finished.wait(10000))
            return "no end";
        return client.readAllStandardOutput().trimmed();
    }

    std::unique_ptr<QProcess>
    start(const QString& program, const QStringList& arguments = {},
          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(program, arguments);
        if (!p->waitForStarted(5000))
            qFatal("probe did not start");
        return p;
    }

    QByteArray readLine(QProcess& p) {
        QElapsedTimer timer;
        timer.start();
        while (!p.canReadLine() && timer.elapsed() < 10000)
            p.waitForReadyRead(200);
        return p.readLine().trimmed();
    }

    void stop(QProcess& p) {
        p.closeWriteChannel();
        if (!p.waitForFinished(5000))
            p.kill();
    }

    QString m_probe;
};

QTEST_GUILESS_MAIN(GuardTest)
#include "tst_guard.moc"
