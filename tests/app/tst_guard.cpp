// The single-instance guard with real processes.
#include "app/CheckPrevious.h"

#include <QtTest>
#include <csignal>

class GuardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_probe = QFINDTESTDATA("guard_probe");
        if (m_probe.isEmpty())
            m_probe = QCoreApplication::applicationDirPath() + "/guard_probe";
        QVERIFY(QFileInfo::exists(m_probe));
    }

    void blockNameDropsSlashes() {
        QCOMPARE(CheckPrevious::blockName("/opt/kit/bin/kit"), QStringLiteral("/optkitbinkit"));
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

private:
    std::unique_ptr<QProcess> start(const QString& program) {
        auto p = std::make_unique<QProcess>();
        p->start(program, {});
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
