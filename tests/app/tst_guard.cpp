// The single-instance guard with real processes.
#include "app/CheckPrevious.h"

#include <QtTest>
#include <csignal>
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

private:
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
