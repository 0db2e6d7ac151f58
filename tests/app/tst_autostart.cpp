// The start-at-logon entry: where it lives, what it starts, and what counts as switched on.
#include "platform/Autostart.h"

#include <QtTest>

class AutostartTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->path().toLocal8Bit());
    }
    void cleanup() { qunsetenv("XDG_CONFIG_HOME"); }

    void entryLivesUnderTheConfigHome() {
        QCOMPARE(Autostart::entryPath(), m_dir->path() + "/autostart/tessaro-kavelin.desktop");
        qputenv("XDG_CONFIG_HOME", "relative/dir");
        QCOMPARE(Autostart::entryPath(),
                 QDir::homePath() + "/.config/autostart/tessaro-kavelin.desktop");
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(Autostart::entryPath(),
                 QDir::homePath() + "/.config/autostart/tessaro-kavelin.desktop");
    }

    void enableWritesADesktopEntryThatStartsInTheTray() {
        QVERIFY(!Autostart::isEnabled());
        Autostart::enable("/opt/tk/bin/tessaro-kavelin");
        QVERIFY(Autostart::isEnabled());
        QFile f(Autostart::entryPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        QVERIFY(text.contains("\nExec=/opt/tk/bin/tessaro-kavelin -h\n"));
        // Enabling again rewrites the entry; disabling removes it.
        Autostart::enable("/opt/tk2/bin/tessaro-kavelin");
        QCOMPARE(Autostart::execLine(), QStringLiteral("/opt/tk2/bin/tessaro-kavelin -h"));
        Autostart::disable();
        QVERIFY(!QFileInfo::exists(Autostart::entryPath()));
        QVERIFY(!Autostart::isEnabled());
    }

    void disablingAMissingEntryFails() {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, Autostart::disable());
    }

    void pathsWithReservedCharactersAreQuoted() {
        QCOMPARE(Autostart::execFor("/opt/tk/tessaro-kavelin"),
                 QStringLiteral("/opt/tk/tessaro-kavelin -h"));
        QCOMPARE(Autostart::execFor("/home/ali/My Apps/tessaro-kavelin"),
                 QStringLiteral("\"/home/ali/My Apps/tessaro-kavelin\" -h"));
        QCOMPARE(Autostart::execFor("/home/a$b/tk"), QStringLiteral("\"/home/a\\\\$b/tk\" -h"));
    }

    void switchedOffEntriesCountAsOff_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("plain") << QByteArray("[Desktop Entry]\nExec=/x/tk -h\n") << true;
        QTest::newRow("empty exec") << QByteArray("[Desktop Entry]\nExec=\n") << false;
        QTest::newRow("blank exec") << QByteArray("[Desktop Entry]\nExec=   \n") << false;
        QTest::newRow("no exec") << QByteArray("[Desktop Entry]\nName=x\n") << false;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=/x/tk -h\nHidden=true\n")
                                << false;
        QTest::newRow("gnome off")
            << QByteArray("[Desktop Entry]\nExec=/x/tk -h\nX-GNOME-Autostart-enabled=false\n")
            << false;
        QTest::newRow("exec in another group")
            << QByteArray("[Desktop Entry]\nName=x\n[Desktop Action a]\nExec=/x/tk\n") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }
    void switchedOffEntriesCountAsOff() {
        QFETCH(QByteArray, content);
        QFETCH(bool, enabled);
        QDir().mkpath(m_dir->path() + "/autostart");
        QFile f(Autostart::entryPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(Autostart::isEnabled(), enabled);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "tst_autostart.moc"
