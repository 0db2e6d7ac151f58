// Online benchmarks. Stall: the longest gap between ticks of a 1 ms timer on the user-interface
// thread (which also repaints a window each tick) while the main window's request waits on a
// server that accepts and never answers, beside the same measurement with no request running.
// Prints the median over the runs of each run's longest gap.
#include "BrokenServer.h"
#include "online/ServiceClient.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Longest gap in ms between ticks of a 1 ms timer while `work` runs (it returns when done).
double longestGap(QLabel& window, const std::function<void()>& work) {
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    int ticks = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            longest = std::max(longest, now - last);
        last = now;
        window.setText(QString::number(++ticks));
        window.repaint();
    });
    clock.start();
    tick.start();
    work();
    tick.stop();
    return longest / 1e6;
}

// A server that never answers, on a thread of its own so that it costs the measured thread
// nothing.
class SilentServerThread {
public:
    SilentServerThread() {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                m_server = new BrokenServer;
                m_server->setMode(BrokenServer::Mode::Silent);
            },
            Qt::BlockingQueuedConnection);
    }
    ~SilentServerThread() {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    QString base() const { return m_server->base(); }

private:
    QThread m_thread;
    QObject m_context;
    BrokenServer* m_server = nullptr;
};

void stall(QLabel& window) {
    constexpr int Runs = 7;
    constexpr int WaitMs = 2000;
    SilentServerThread server;
    QTemporaryDir dir;
    ServiceClient client({server.base(), server.base()}, dir.filePath("file.tmp"));
    client.client().setTimeout(WaitMs);
    std::vector<double> waiting;
    std::vector<double> idle;
    for (int i = 0; i < Runs; ++i) {
        waiting.push_back(longestGap(window, [&] { client.IT_ProReq("getupd.php?hsh=yes"); }));
        idle.push_back(longestGap(window, [] {
            QEventLoop loop;
            QTimer::singleShot(WaitMs, &loop, &QEventLoop::quit);
            loop.exec();
        }));
    }
    std::printf("stall while a request waits %d ms on a silent server: median of longest gaps "
                "%.2f ms (worst run %.2f ms; must stay under 50 ms)\n",
                WaitMs, median(waiting), *std::max_element(waiting.begin(), waiting.end()));
    std::printf("same with no request running: median %.2f ms (worst run %.2f ms)\n", median(idle),
                *std::max_element(idle.begin(), idle.end()));
}
} // namespace

int main(int argc, char* argv[]) {
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");
    QApplication app(argc, argv);
    QLabel window;
    window.resize(200, 60);
    window.show();
    stall(window);
    return 0;
}
