// The staged program itself, started as a real process in a temporary program folder.
#include "TempDatabase.h"
#include "app/CheckPrevious.h"

#include <QLocalSocket>
#include <QtTest>
#include <csignal>

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_tmp = std::make_unique<TempDatabase>();
        m_exe = m_tmp->binDir() + "/tessaro-kavelin";
        QVERIFY(QFile::copy(TK_STAGE_DIR "/bin/tessaro-kavelin", m_exe));
        QFile(m_exe).setPermissions(QFile(TK_STAGE_DIR "/bin/tessaro-kavelin").permissions());
    }
    void cleanup() { m_tmp.reset(); }

    void missingDatabaseEndsTheStart() {
        QFile::remove(m_tmp->dataPath());
        QProcess p;
        startProgram(p);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().startsWith("tessaro-kavelin:"));
        QVERIFY(!QFileInfo::exists(m_tmp->binDir() + "/settings.xml"));
    }

    void endsCleanlyOnSigtermAndSavesSettings() {
        QProcess p;
        startProgram(p);
        QVERIFY(waitUntilListening());
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QFile settings(m_tmp->binDir() + "/settings.xml");
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(
            settings.readAll().startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"));
    }

    void secondStartEndsAtOnce() {
        QProcess first;
        startProgram(first);
        QVERIFY(waitUntilListening());
        QProcess second;
        startProgram(second);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitCode(), 0);
    }

    void damagedSettingsNeverStopTheProgram() {
        QFile bad(m_tmp->binDir() + "/settings.xml");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<?xml version=\"1.0\"?><Configuration><PD><SRB>x</PD>");
        bad.close();
        QProcess p;
        startProgram(p);
        QVERIFY(waitUntilListening());
        p.terminate();
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFileInfo::exists(m_tmp->binDir() + "/settings.xml.bad"));
        QVERIFY(p.readAllStandardError().contains("settings.xml"));
    }

private:
    void startProgram(QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // A private runtime folder keeps Qt from warning about a missing or shared one.
        const QString runtime = m_tmp->root() + "/temp/runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        p.setProcessEnvironment(env);
        p.start(m_exe, {});
        QVERIFY(p.waitForStarted(5000));
    }

    // The program is up once it answers on its activation socket.
    bool waitUntilListening() {
        const QString name = CheckPrevious::blockName(m_exe).mid(1);
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

    std::unique_ptr<TempDatabase> m_tmp;
    QString m_exe;
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
