// The main window's service requests on loopback: failover between the two base addresses,
// the busy answer, the reply file and its lines, and the faults of a misbehaving server.
#include "BrokenServer.h"
#include "ServiceProcess.h"
#include "app/SettingsStore.h"
#include "online/ServiceClient.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class ServiceClientTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        QVERIFY(m_dir.isValid());
        m_reply = m_dir.filePath("temp/file.tmp");
        QDir().mkpath(m_dir.filePath("temp"));
        QFile::remove(m_reply);
    }

    void failoverOrder() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        writeFile(service.dataDir() + "/update/fingerprint.txt", "F00D\r\n");
        BrokenServer broken;
        broken.setAnswer(404, "gone");
        ServiceClient client({broken.base(), service.base()}, m_reply);

        // The first request of a run goes to the first address; 404 moves to the second.
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(client.ReqFailures(), 1);
        QCOMPARE(broken.paths(), QList<QByteArray>{"/hvx/getupd.php?hsh=yes"});
        // Success stays on the second.
        QStringList lines{"old"};
        QVERIFY(client.IT_GetInfo("getupd.php?hsh=yes", lines));
        QCOMPARE(lines, QStringList{"F00D"});
        QVERIFY(!QFile::exists(m_reply));
        QVERIFY(client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(client.ReqFailures(), 1);
        // Another failure goes back to the first.
        QVERIFY(!client.IT_ProReq("getupd.php?file=file.zup.009"));
        QCOMPARE(client.ReqFailures(), 2);
        broken.setAnswer(302, QByteArray(), "Location: " + service.base().toUtf8() + "x\r\n");
        // A redirect fails without moving and is not followed.
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(client.ReqFailures(), 2);
        QCOMPARE(broken.requests().size(), 3);
        QVERIFY(service.waitForRequests(3));
        QCOMPARE(service.requests().last(),
                 QStringLiteral("/hvx/getupd.php?file=file.zup.009 404"));
    }

    void busyAnswerWithoutTraffic() {
        BrokenServer silent;
        silent.setMode(BrokenServer::Mode::Silent);
        ServiceClient client({silent.base(), silent.base()}, m_reply);
        client.client().setTimeout(400);
        bool busySeen = false;
        bool secondAnswer = true;
        int ticks = 0;
        // A timer handler that runs during the wait, like the other update timer's tick.
        QTimer tick;
        tick.setInterval(20);
        connect(&tick, &QTimer::timeout, this, [&] {
            ++ticks;
            busySeen = client.ReqBusy();
            secondAnswer = client.IT_ProReq("getupd.php?hsh=more");
            tick.stop();
        });
        tick.start();
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(ticks, 1);
        QVERIFY(busySeen);
        QVERIFY(!secondAnswer);
        QVERIFY(!client.ReqBusy());
        QCOMPARE(silent.connections(), 1);
        QCOMPARE(silent.paths(), QList<QByteArray>{"/hvx/getupd.php?hsh=yes"});
        QCOMPARE(client.ReqFailures(), 1); // the time-out counts as a failure
    }

    void emptyReplyAndLines() {
        BrokenServer server;
        server.setAnswer(200, QByteArray());
        ServiceClient client({server.base(), server.base()}, m_reply);
        QVERIFY(client.IT_ProReq("getupd.php?hsh=yes"));
        QVERIFY(QFile::exists(m_reply));
        QStringList lines{"kept?"};
        QVERIFY(!client.IT_GetInfo("getupd.php?hsh=yes", lines));
        QVERIFY(lines.isEmpty());
        QCOMPARE(client.ReqFailures(), 0);

        server.setAnswer(200, "a\r\nb\nc\rd\xE9");
        QVERIFY(client.IT_GetInfo("getupd.php?hsh=more", lines));
        QCOMPARE(lines, (QStringList{"a", "b", "c", QStringLiteral("d\u00E9")}));
        QCOMPARE(ServiceClient::Lines("x\r\n"), QStringList{"x"});
        QCOMPARE(ServiceClient::Lines("\r\n\r\n"), (QStringList{"", ""}));
    }

    void replyFileFaults() {
        BrokenServer server;
        server.setAnswer(200, "body");
        // A stale reply that cannot be deleted (here a folder with something in it).
        QDir().mkpath(m_reply + "/inside");
        ServiceClient client({server.base(), server.base()}, m_reply);
        QSignalSpy errors(&client, &ServiceClient::errorOccurred);
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(server.connections(), 0);
        QCOMPARE(client.ReqFailures(), 0);
        QCOMPARE(errors.count(), 0);
        QVERIFY(QDir(m_reply).removeRecursively());

        // A missing temp folder is made again.
        ServiceClient fresh({server.base(), server.base()}, m_dir.filePath("gone/file.tmp"));
        QVERIFY(fresh.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(server.connections(), 1);

        // A reply file that cannot be created is reported, and nothing is sent.
        writeFile(m_dir.filePath("plain"), "a file, not a folder");
        ServiceClient nowhere({server.base(), server.base()}, m_dir.filePath("plain/file.tmp"));
        QSignalSpy nowhereErrors(&nowhere, &ServiceClient::errorOccurred);
        QVERIFY(!nowhere.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(nowhereErrors.count(), 1);
        QVERIFY(nowhereErrors.first().first().toString().contains("file.tmp"));
        QCOMPARE(server.connections(), 1);
    }

    void brokenServerFaults_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("never answers") << int(BrokenServer::Mode::Silent);
        QTest::newRow("closes mid-reply") << int(BrokenServer::Mode::CloseMidReply);
        QTest::newRow("hangs up") << int(BrokenServer::Mode::HangUp);
    }
    void brokenServerFaults() {
        QFETCH(int, mode);
        BrokenServer broken;
        broken.setMode(BrokenServer::Mode(mode));
        BrokenServer good;
        good.setAnswer(200, "fine");
        ServiceClient client({broken.base(), good.base()}, m_reply);
        client.client().setTimeout(300);
        QVERIFY(!client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(client.ReqFailures(), 1);
        QVERIFY(!client.ReqBusy());
        QVERIFY(client.IT_ProReq("getupd.php?hsh=yes"));
        QCOMPARE(good.connections(), 1);
        QCOMPARE(broken.requests().size(), 1); // failed over, never sent twice
    }

    // A reply over its ceiling fails as it streams and leaves no reply file: the lists at
    // 64 KB, a part at 64 MB.
    void repliesHaveCeilings_data() {
        QTest::addColumn<QString>("request");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("taken");
        QTest::newRow("part list at its ceiling")
            << "getupd.php?hsh=more" << ServiceClient::ListCeiling << true;
        QTest::newRow("part list over it")
            << "getupd.php?hsh=more" << ServiceClient::ListCeiling + 1 << false;
        QTest::newRow("part over its ceiling")
            << "getupd.php?file=file.zup.001" << ServiceClient::PartCeiling + 1 << false;
    }
    void repliesHaveCeilings() {
        QFETCH(QString, request);
        QFETCH(qint64, bytes);
        QFETCH(bool, taken);
        BrokenServer server;
        server.setMode(BrokenServer::Mode::Huge);
        server.setHugeBytes(bytes);
        ServiceClient client({server.base(), server.base()}, m_reply);
        QCOMPARE(client.IT_ProReq(request), taken);
        QCOMPARE(QFileInfo(m_reply).size(), taken ? bytes : 0);
        QCOMPARE(QFileInfo::exists(m_reply), taken);
        QCOMPARE(client.ReqFailures(), taken ? 0 : 1);
    }

    void basesFromSettings() {
        SettingsStore settings(m_dir.filePath("settings.xml"));
        auto bases = ServiceClient::Bases(settings);
        QCOMPARE(bases[0], ServiceClient::DefaultBase0);
        QCOMPARE(bases[1], ServiceClient::DefaultBase1);
        settings.WriteText("SERVICE\\BASE1", " http://127.0.0.1:8123/hvx ");
        bases = ServiceClient::Bases(settings);
        QCOMPARE(bases[0], ServiceClient::DefaultBase0);
        QCOMPARE(bases[1], QStringLiteral("http://127.0.0.1:8123/hvx/"));
    }

private:
    QTemporaryDir m_dir;
    QString m_reply;
};

QTEST_GUILESS_MAIN(ServiceClientTest)
#include "tst_serviceclient.moc"
