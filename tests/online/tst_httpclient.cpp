// The program's HTTP client against the reference service and a misbehaving server on
// 127.0.0.1: what it sends, what it keeps, how each fault ends; and the proxy list rules.
#include "BrokenServer.h"
#include "ServiceProcess.h"
#include "online/HttpClient.h"
#include "online/ProxySetting.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

namespace {
QByteArray header(const QByteArray& request, const QByteArray& name) {
    for (const QByteArray& line : request.split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Fetched {
    HttpResult result;
    QByteArray body;
};

Fetched fetch(HttpClient& client, const QString& url) {
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    Fetched f;
    f.result = client.fetch(QUrl(url), &sink);
    f.body = sink.data();
    return f;
}
} // namespace

class HttpClientTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }

    void updateSetFromTheService() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        HttpClient client;
        // No update folder: an empty fingerprint.
        Fetched empty = fetch(client, service.base() + "getupd.php?hsh=yes");
        QCOMPARE(empty.result.status, 200);
        QVERIFY(empty.result.ok());
        QVERIFY(empty.body.isEmpty());

        const QString dir = service.dataDir() + "/update/";
        writeFile(dir + "fingerprint.txt", "ABCDEF0123\r\n");
        writeFile(dir + "parts.txt", "1,'00112233445566778899aabbccddeeff'\r\n");
        writeFile(dir + "file.zup.001", QByteArray("7z\xBC\xAF\x27\x1C\0\x04", 8));
        writeFile(service.dataDir() + "/secret.txt", "not for the wire");
        QCOMPARE(fetch(client, service.base() + "getupd.php?hsh=yes").body,
                 QByteArray("ABCDEF0123\r\n"));
        QCOMPARE(fetch(client, service.base() + "getupd.php?hsh=more").body,
                 QByteArray("1,'00112233445566778899aabbccddeeff'\r\n"));
        Fetched part = fetch(client, service.base() + "getupd.php?file=file.zup.001");
        QVERIFY(part.result.ok());
        QCOMPARE(part.body, QByteArray("7z\xBC\xAF\x27\x1C\0\x04", 8));
        for (const char* bad : {"file.zup.002", "file.zup.1", "../secret.txt", "..%2Fsecret.txt",
                                "file.zup.001%00"}) {
            Fetched f = fetch(client, service.base() + "getupd.php?file=" + bad);
            QCOMPARE(f.result.status, 404);
            QVERIFY(f.result.transferFailed());
        }
        QCOMPARE(fetch(client, service.base() + "nothing.php").result.status, 404);
        QVERIFY(service.waitForRequests(10));
        QCOMPARE(service.requests().first(), QStringLiteral("/hvx/getupd.php?hsh=yes 200"));
        QVERIFY(service.requests().contains(QStringLiteral("/hvx/nothing.php 404")));
    }

    void headersCookiesAndRedirects() {
        BrokenServer server;
        server.setAnswer(200, "one", "Set-Cookie: visit=42; Path=/\r\n");
        HttpClient client;
        QCOMPARE(fetch(client, server.base() + "a.php").body, QByteArray("one"));
        server.setAnswer(302, QByteArray(), "Location: http://127.0.0.1:1/elsewhere\r\n");
        Fetched moved = fetch(client, server.base() + "b.php");
        QCOMPARE(moved.result.status, 302);
        QVERIFY(!moved.result.ok());
        QVERIFY(!moved.result.transferFailed());
        QCOMPARE(server.requests().size(), 2); // not followed
        const QByteArray first = server.requests().at(0);
        QVERIFY(first.startsWith("GET /hvx/a.php HTTP/1.1\r\n"));
        QCOMPARE(header(first, "Accept"), QByteArray("text/html, */*"));
        QCOMPARE(header(first, "User-Agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
        QVERIFY(header(first, "Cookie").isEmpty());
        QCOMPARE(header(server.requests().at(1), "Cookie"), QByteArray("visit=42"));
        // Another client has cookies of its own.
        HttpClient other;
        fetch(other, server.base() + "c.php");
        QVERIFY(header(server.requests().at(2), "Cookie").isEmpty());
    }

    void faultsEndTheTransfer_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("timedOut");
        QTest::newRow("never answers") << int(BrokenServer::Mode::Silent) << true;
        QTest::newRow("closes mid-reply") << int(BrokenServer::Mode::CloseMidReply) << false;
    }
    void faultsEndTheTransfer() {
        QFETCH(int, mode);
        QFETCH(bool, timedOut);
        BrokenServer server;
        server.setMode(BrokenServer::Mode(mode));
        HttpClient client;
        client.setTimeout(300);
        Fetched f = fetch(client, server.base() + "x.php");
        QCOMPARE(f.result.timedOut, timedOut);
        QVERIFY(f.result.transferFailed());
        QVERIFY(!f.result.ok());
        QVERIFY(!f.result.errorText.isEmpty());
        QVERIFY(!client.isRunning());
    }

    // Each request goes on the wire once: a server that drops the connection gets no copy.
    void aDroppedConnectionIsOneRequestAndAFailure_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("post");
        QTest::newRow("GET, hung up") << int(BrokenServer::Mode::HangUp) << false;
        QTest::newRow("POST, hung up") << int(BrokenServer::Mode::HangUp) << true;
        QTest::newRow("GET, cut body") << int(BrokenServer::Mode::CloseMidReply) << false;
    }
    void aDroppedConnectionIsOneRequestAndAFailure() {
        QFETCH(int, mode);
        QFETCH(bool, post);
        BrokenServer server;
        server.setMode(BrokenServer::Mode(mode));
        HttpClient client;
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        const QUrl url(server.base() + "getupd.php?file=file.zup.001");
        const HttpResult r = post ? client.fetchPost(url, "a=1", &sink) : client.fetch(url, &sink);
        QVERIFY(r.transferFailed());
        QVERIFY(!r.timedOut);
        QVERIFY(!r.errorText.isEmpty());
        QTest::qWait(300); // a resend would arrive meanwhile
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.connections(), 1);
    }

    void replyFramings_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("chunked with extension and trailer")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                          "5\r\nhello\r\n6;x=y\r\n world\r\n0\r\nX-T: 1\r\n\r\n")
            << true << QByteArray("hello world");
        QTest::newRow("ends with the connection")
            << QByteArray("HTTP/1.0 200 OK\r\n\r\nall of it") << true << QByteArray("all of it");
        QTest::newRow("interim reply first")
            << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                          "\r\nok")
            << true << QByteArray("ok");
        QTest::newRow("bare LF lines")
            << QByteArray("HTTP/1.1 200 OK\nContent-Length: 3\n\nabc") << true << QByteArray("abc");
        QTest::newRow("cut chunked")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel") << false
            << QByteArray("hel");
        QTest::newRow("damaged chunk size")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << false
            << QByteArray();
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << false << QByteArray();
        QTest::newRow("bad length")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -4\r\n\r\nabcd") << false
            << QByteArray();
        QTest::newRow("endless header")
            << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(70 * 1024, 'h')) << false
            << QByteArray();
    }
    void replyFramings() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        QFETCH(QByteArray, body);
        BrokenServer server;
        server.setRaw(reply);
        HttpClient client;
        client.setTimeout(2000);
        Fetched f = fetch(client, server.base() + "x.php");
        QCOMPARE(f.result.ok(), ok);
        QCOMPARE(f.result.transferFailed(), !ok);
        QVERIFY(!f.result.timedOut);
        QCOMPARE(f.body, body);
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(server.requests().first().contains("Connection: close\r\n"));
    }

    // Bytes that keep coming never reset the whole-transfer limit.
    void aDripEndsAtTheTotalLimit() {
        BrokenServer server;
        server.setMode(BrokenServer::Mode::Drip);
        HttpClient client;
        client.setTimeout(5000);
        client.setTotalLimit(400);
        Fetched f = fetch(client, server.base() + "getupd.php?hsh=more");
        QVERIFY(f.result.timedOut);
        QVERIFY(f.result.transferFailed());
        QVERIFY(!f.body.isEmpty()); // it did drip
        QVERIFY(f.body.size() < 1000000);
    }

    // The program's end gives up every reply still awaited, a wait in progress included.
    void abortAllEndsEveryWait() {
        BrokenServer silent;
        silent.setMode(BrokenServer::Mode::Silent);
        HttpClient waiting, other;
        QBuffer a, b;
        a.open(QIODevice::WriteOnly);
        b.open(QIODevice::WriteOnly);
        other.get(QUrl(silent.base() + "b.php"), &b);
        QTimer::singleShot(200, [] { HttpClient::abortAll(); });
        QElapsedTimer timer;
        timer.start();
        const HttpResult r = waiting.fetch(QUrl(silent.base() + "a.php"), &a);
        QVERIFY(r.aborted);
        QVERIFY(timer.elapsed() < HttpClient::DefaultTimeoutMs / 2); // not the time-out
        QVERIFY(!waiting.isRunning());
        QVERIFY(!other.isRunning());
        QVERIFY(other.lastResult().aborted);
    }

    void nothingListeningFails() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        HttpClient client;
        Fetched f = fetch(client, QStringLiteral("http://127.0.0.1:%1/hvx/x").arg(port));
        QCOMPARE(f.result.status, 0);
        QVERIFY(f.result.transferFailed());
    }

    void hugeReplyIntoAFileOrCutAtTheLimit() {
        BrokenServer server;
        server.setMode(BrokenServer::Mode::Huge);
        server.setHugeBytes(50 * 1024 * 1024);
        QTemporaryDir dir;
        QFile file(dir.filePath("file.tmp"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        HttpClient client;
        HttpResult whole = client.fetch(QUrl(server.base() + "big"), &file);
        file.close();
        QVERIFY(whole.ok());
        QCOMPARE(QFileInfo(file).size(), 50 * 1024 * 1024);

        client.setMaxBodyBytes(1024 * 1024);
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        HttpResult cut = client.fetch(QUrl(server.base() + "big"), &sink);
        QVERIFY(cut.transferFailed());
        QVERIFY(sink.size() <= 1024 * 1024);
    }

    void proxyTakenBeforeEachRequest() {
        BrokenServer proxy;
        proxy.setAnswer(200, "via proxy");
        HttpClient client;
        qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1/").arg(proxy.port()).toUtf8());
        Fetched f = fetch(client, QStringLiteral("http://service.example.invalid/hvx/getupd.php"));
        QCOMPARE(f.body, QByteArray("via proxy"));
        QVERIFY(proxy.requests().value(0).startsWith(
            "GET http://service.example.invalid/hvx/getupd.php HTTP/1.1"));
        qunsetenv("http_proxy");
        BrokenServer direct;
        direct.setAnswer(200, "direct");
        QCOMPARE(fetch(client, direct.base() + "x").body, QByteArray("direct"));
        QCOMPARE(proxy.requests().size(), 1);
    }

    void proxyLists_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("single") << "proxy.local:8080"
                                << "proxy.local" << 8080;
        QTest::newRow("per protocol") << "ftp=f.local:21;http=h.local:3128;https=s.local:443"
                                      << "h.local" << 3128;
        QTest::newRow("http entry last") << "ftp=f.local:21;http=h.local:81"
                                         << "h.local" << 81;
        QTest::newRow("no http entry") << "ftp=f.local:21;https=s.local:443"
                                       << "ftp=f.local" << 0;
        QTest::newRow("no colon") << "proxy.local"
                                  << "" << 0;
        QTest::newRow("port not a number") << "proxy.local:eighty"
                                           << "proxy.local" << 0;
        QTest::newRow("empty") << ""
                               << "" << 0;
        QTest::newRow("key is case-sensitive") << "HTTP=h.local:1"
                                               << "HTTP=h.local" << 1;
    }
    void proxyLists() {
        QFETCH(QString, list);
        QFETCH(QString, host);
        QFETCH(int, port);
        const TProxySetting p = ParseProxyList(QStringLiteral("http"), list);
        QCOMPARE(p.Host, host);
        QCOMPARE(p.Port, port);
    }

    void desktopProxyReducedToHostAndPort() {
        qputenv("HTTP_PROXY", "http://user:pa@ss@cache.lan:3128/path");
        QCOMPARE(DesktopProxyList(), QStringLiteral("cache.lan:3128"));
        qputenv("http_proxy", "cache2.lan:8000");
        QCOMPARE(GetIEProxy(QStringLiteral("http")).Host, QStringLiteral("cache2.lan"));
        QCOMPARE(GetIEProxy(QStringLiteral("http")).Port, 8000);
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        QVERIFY(GetIEProxy(QStringLiteral("http")).Host.isEmpty());
    }
};

QTEST_GUILESS_MAIN(HttpClientTest)
#include "tst_httpclient.moc"
