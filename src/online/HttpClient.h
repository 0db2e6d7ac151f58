#pragma once

#include "online/HttpExchange.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QNetworkCookieJar;

// Outcome of one GET.
struct HttpResult {
    int status = 0;        // the reply's status, 0 when no reply came
    bool timedOut = false; // nothing arrived for the time-out
    bool aborted = false;  // abandoned by abort()
    QString errorText;     // why the transfer broke off, empty when it did not
    qint64 bytes = 0;      // body bytes written to the sink

    bool ok() const { return status == 200 && errorText.isEmpty(); }
    // What the client counts as a failed transfer: no reply, a time-out, a status outside
    // 200..399, or 304. Other statuses (201..299, redirects) are replies that are not ok.
    bool transferFailed() const {
        return !errorText.isEmpty() || status < 200 || status > 399 || status == 304;
    }
};

// The program's HTTP client for its web service: GET only, connect and read time-outs of
// 20000 ms, the fixed "Accept" and "User-Agent" headers, cookies kept in memory for the run,
// redirects not followed, the desktop's proxy looked up afresh before every request, and the
// reply body written into a device as it arrives. Each owner has a client of its own. Every
// transfer is one request on a connection of its own, sent once: a connection that drops is a
// failed transfer at once, never a request sent again behind the caller's back.
class HttpClient : public QObject {
    Q_OBJECT
public:
    static inline const QByteArray Accept = QByteArrayLiteral("text/html, */*");
    static inline const QByteArray UserAgent =
        QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)");
    static constexpr int DefaultTimeoutMs = 20000;
    // The whole-transfer limit the program's clients set for what is not an update part.
    static constexpr int TotalLimitMs = 20000;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The connect and read time-out: the longest wait for the connection or the next bytes.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }
    // A body beyond this many bytes ends the transfer as failed (negative: no limit).
    void setMaxBodyBytes(qint64 bytes) { m_maxBodyBytes = bytes; }
    // The longest a whole transfer may take, however steadily the bytes come (0: no limit), so
    // a server that drips its reply cannot hold a transfer open for ever.
    void setTotalLimit(int ms) { m_totalLimitMs = ms; }

    // The "User-Agent" header this client sends (UserAgent unless changed).
    void setUserAgent(const QByteArray& agent) { m_userAgent = agent; }

    // Starts a GET of url; the body is written into sink, which must stay open until
    // finished(). A transfer still running is abandoned first.
    void get(const QUrl& url, QIODevice* sink);
    // The same for a POST of a web form (already encoded as application/x-www-form-urlencoded).
    void post(const QUrl& url, const QByteArray& form, QIODevice* sink);
    // Starts the GET and waits for its end in a local event loop, so the window keeps
    // handling input, painting and timers meanwhile.
    HttpResult fetch(const QUrl& url, QIODevice* sink);
    // The POST twin of fetch.
    HttpResult fetchPost(const QUrl& url, const QByteArray& form, QIODevice* sink);
    bool isRunning() const { return m_running; }
    // Abandons the running transfer; finished() reports it as aborted.
    void abort();
    // Abandons every transfer still running in the program (it is ending), so no wait for a
    // reply holds up the end.
    static void abortAll();
    const HttpResult& lastResult() const { return m_result; }

signals:
    void finished(const HttpResult& result);

private:
    void send(HttpExchange::Request request, QIODevice* sink);
    HttpResult wait();
    void keepCookies();
    void receive(const QByteArray& bytes);
    void complete(const QString& errorText);
    void fail(const QString& text);

    QNetworkCookieJar* m_cookies;
    HttpExchange m_exchange;
    bool m_running = false;
    QUrl m_url; // of the running transfer, for its cookies
    QPointer<QIODevice> m_sink;
    QTimer m_idle;
    QTimer m_total;
    HttpResult m_result;
    int m_timeoutMs = DefaultTimeoutMs;
    qint64 m_maxBodyBytes = -1;
    int m_totalLimitMs = 0;
    QByteArray m_userAgent = UserAgent;
};
