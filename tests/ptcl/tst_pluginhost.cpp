#include "TestPlugIns.h"
#include "ptcl/PlugInHost.h"
#include "ptcl/PtclBrowser.h"

#include "BrokenServer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <optional>

// The plug-in host as the PTCL page uses it: real tk-plugin-host processes running the test
// libraries, fetches served by the program's browser from a loopback server.
class TstPlugInHost : public QObject {
    Q_OBJECT

    using Outcome = PlugInHost::Outcome;

    static QString library(const char* variant) { return TestPlugIns::library(variant); }
    // A name and address request as the page builds it.
    static QByteArray request(const QByteArray& name, const QByteArray& address = {}) {
        return '\x1f' + name + '\x1f' + address;
    }
    // No process of that number is left, not even one waiting to be collected.
    static bool gone(qint64 pid) { return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

    // The page's pair: its browser and the host that serves fetches with it.
    struct Host {
        explicit Host(const QString& file) {
            host.setProgram(QStringLiteral(TK_STAGE_DIR "/bin/tk-plugin-host"));
            host.setLibrary(file);
        }
        Outcome process(const QByteArray& text) { return host.process(0, text, reply); }
        PtclBrowser browser;
        PlugInHost host{browser};
        QByteArray reply;
    };

private slots:
    void initTestCase() {
        // Loopback is reached directly, never through a desktop proxy.
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }

    void repliesCrossAsBytesAndTheHostStays() {
        Host h(library("good"));
        QVERIFY(h.host.load());
        const qint64 pid = h.host.processId();
        QVERIFY(pid > 0);
        const QByteArray latin1("1234567\x1f\x1f"
                                "Caf\xe9\0!",
                                15);
        QCOMPARE(h.process(latin1), Outcome::Replied);
        QCOMPARE(h.reply, "0:" + latin1);
        QCOMPARE(h.host.process(1, "<html>", h.reply), Outcome::Replied);
        QCOMPARE(h.reply, QByteArray("1:<html>"));
        QCOMPARE(h.host.processId(), pid);

        // What a plug-in writes to standard output never reaches the replies.
        Host chatty(library("unruly"));
        QCOMPARE(chatty.process(request("echo", "Caf\xe9")), Outcome::Replied);
        const QByteArray echoed("\x1f"
                                "echo\x1f"
                                "Caf\xe9\x1e");
        QCOMPARE(chatty.reply, QByteArray::number(chatty.host.processId()) + echoed);
    }

    void librariesThatDoNotLoad_data() { TestPlugIns::addBrokenLibraryRows(); }

    void librariesThatDoNotLoad() {
        QFETCH(QString, file);
        Host h(file);
        QVERIFY(!h.host.load());
        QVERIFY(!h.host.isRunning());
        QCOMPARE(h.process(request("echo")), Outcome::NotLoaded);
        QVERIFY(h.reply.isEmpty());

        // Without the host program nothing can be loaded either.
        Host lost(library("good"));
        lost.host.setProgram(QStringLiteral("/nonexistent/tk-plugin-host"));
        QCOMPARE(lost.process(request("echo")), Outcome::NotLoaded);
    }

    void aPlugInThatDiesCostsOneSearch_data() {
        QTest::addColumn<QByteArray>("how");
        QTest::newRow("memory fault") << QByteArray("crash");
        QTest::newRow("abort") << QByteArray("abort");
        QTest::newRow("exit") << QByteArray("exit");
        QTest::newRow("exception") << QByteArray("throw");
    }

    void aPlugInThatDiesCostsOneSearch() {
        QFETCH(QByteArray, how);
        Host h(library("unruly"));
        QVERIFY(h.host.load());
        const qint64 first = h.host.processId();
        // Noticed when the host ends, not at some limit.
        h.host.setHangLimit(10 * 60 * 1000);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(h.process(request(how)), Outcome::Stopped);
        QVERIFY(waited.elapsed() < 60 * 1000);
        QCOMPARE(h.reply, PlugInHost::StoppedReply);
        QVERIFY(!h.host.isRunning());
        QVERIFY(gone(first));

        // The next search starts a host of its own.
        QCOMPARE(h.process(request("again")), Outcome::Replied);
        QVERIFY(h.host.processId() != first);
        const QByteArray again("\x1f"
                               "again");
        QVERIFY(h.reply.startsWith(QByteArray::number(h.host.processId()) + again));
    }

    void aCrashWhileLoadingIsAStop() {
        Host h(library("loadcrash"));
        QVERIFY(!h.host.load());
        QCOMPARE(h.process(request("echo")), Outcome::Stopped);
        QCOMPARE(h.reply, PlugInHost::StoppedReply);
    }

    void aHangIsKilledAtTheLimit() {
        Host h(library("unruly"));
        QVERIFY(h.host.load());
        const qint64 pid = h.host.processId();
        h.host.setHangLimit(500);
        QCOMPARE(h.process(request("hang")), Outcome::Stopped);
        QCOMPARE(h.reply, PlugInHost::StoppedReply);
        QVERIFY(gone(pid));
        QCOMPARE(h.process(request("again")), Outcome::Replied);
    }

    void cancelKillsTheHostAtOnce() {
        Host h(library("unruly"));
        for (const bool byStop : {false, true}) {
            QVERIFY(h.host.load());
            const qint64 pid = h.host.processId();
            bool waited = false;
            QTimer::singleShot(300, &h.host, [&] {
                waited = h.host.isWaiting();
                if (byStop)
                    h.host.stop();
                else
                    h.host.cancel();
            });
            QCOMPARE(h.process(request("hang")), Outcome::Cancelled);
            QVERIFY(waited);
            QVERIFY(gone(pid));
        }
        QCOMPARE(h.process(request("again")), Outcome::Replied);

        // Stopping it, or ending its owner, ends an idle host at once too.
        const qint64 idle = h.host.processId();
        h.host.stop();
        QVERIFY(gone(idle));
        std::optional<Host> other(std::in_place, library("unruly"));
        QVERIFY(other->host.load());
        const qint64 second = other->host.processId();
        other.reset();
        QVERIFY(gone(second));
    }

    void fetchesAreServedByTheProgram() {
        BrokenServer server;
        server.setAnswer(200, "<b>Caf\xe9</b>");
        const QByteArray url = (server.base() + QStringLiteral("page.php")).toLatin1();
        Host h(library("unruly"));
        QCOMPARE(h.process(request("fetch", url)), Outcome::Replied);
        QCOMPARE(h.reply, QByteArray("200\x1f<b>Caf\xe9</b>\x1f\x1e"));
        QCOMPARE(server.paths().constLast(), QByteArray("/hvx/page.php"));
        QVERIFY(server.requests().constLast().contains("User-Agent: " + PtclBrowser::UserAgent));

        QCOMPARE(h.process(request("post", url)), Outcome::Replied);
        QVERIFY(server.requests().constLast().startsWith("POST /hvx/page.php"));
        server.setAnswer(404, "gone");
        QCOMPARE(h.process(request("fetch", url)), Outcome::Replied);
        QCOMPARE(h.reply, QByteArray("404\x1fgone\x1f\x1e"));
        // An address that is none gets no response, as in the program.
        QCOMPARE(h.process(request("fetch", "")), Outcome::Replied);
        QCOMPARE(h.reply, QByteArray("0\x1f\x1f\x1e"));
    }

    void waitingForTheDirectoryIsNoHang() {
        BrokenServer server;
        server.setMode(BrokenServer::Mode::Silent);
        const QByteArray url = (server.base() + QStringLiteral("page.php")).toLatin1();
        Host h(library("unruly"));
        QVERIFY(h.host.load());
        h.browser.client().setTimeout(1500);
        h.host.setHangLimit(300);
        QCOMPARE(h.process(request("fetch", url)), Outcome::Replied);
        QCOMPARE(h.reply, QByteArray("0\x1f\x1f\x1e")); // no response, as the plug-in is told

        // A search cancelled during a fetch ends the fetch and the host.
        h.browser.client().setTimeout(HttpClient::DefaultTimeoutMs);
        const qint64 pid = h.host.processId();
        QTimer::singleShot(300, &h.host, [&] { h.host.cancel(); });
        QCOMPARE(h.process(request("fetch", url)), Outcome::Cancelled);
        QVERIFY(!h.browser.client().isRunning());
        QVERIFY(gone(pid));
    }

    void messagesSurviveSplitReadsAndRefuseNonsense() {
        PlugInMessage sent;
        sent.kind = PlugInMessage::Fetch;
        sent.flag = 1;
        sent.status = -7;
        sent.first = "http://127.0.0.1/";
        sent.second = QByteArray("a=\xe9\0", 4);
        const QByteArray bytes = sent.encode() + sent.encode();
        QByteArray buffer = bytes.left(9);
        PlugInMessage got;
        QCOMPARE(PlugInMessage::take(buffer, got), PlugInMessage::Read::Incomplete);
        buffer += bytes.mid(9);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(PlugInMessage::take(buffer, got), PlugInMessage::Read::Taken);
            QCOMPARE(got.kind, sent.kind);
            QCOMPARE(got.flag, sent.flag);
            QCOMPARE(got.status, sent.status);
            QCOMPARE(got.first, sent.first);
            QCOMPARE(got.second, sent.second);
        }
        QVERIFY(buffer.isEmpty());

        QByteArray huge = QByteArray::fromHex("7fffffff05");
        QCOMPARE(PlugInMessage::take(huge, got), PlugInMessage::Read::Broken);
        QByteArray unknown = QByteArray::fromHex("0000000a09000000000000000000");
        QCOMPARE(PlugInMessage::take(unknown, got), PlugInMessage::Read::Broken);
        QByteArray overlong = QByteArray::fromHex("0000000a05000000000000000001");
        QCOMPARE(PlugInMessage::take(overlong, got), PlugInMessage::Read::Broken);
    }
};

QTEST_GUILESS_MAIN(TstPlugInHost)
#include "tst_pluginhost.moc"
