#include "online/HttpClient.h"

#include "online/ProxySetting.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSet>

namespace {
// Every client alive, for abortAll(); clients live on the window's thread only.
QSet<HttpClient*>& liveClients() {
    static QSet<HttpClient*> clients;
    return clients;
}
} // namespace

HttpClient::HttpClient(QObject* parent) : QObject(parent), m_cookies(new QNetworkCookieJar(this)) {
    liveClients().insert(this);
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        m_result.timedOut = true;
        fail(tr("The server did not answer within %1 seconds.").arg(m_timeoutMs / 1000.0));
    });
    m_total.setSingleShot(true);
    connect(&m_total, &QTimer::timeout, this, [this] {
        m_result.timedOut = true;
        fail(tr("The transfer took longer than %1 seconds.").arg(m_totalLimitMs / 1000.0));
    });
    connect(&m_exchange, &HttpExchange::progressed, this, [this] { m_idle.start(); });
    connect(&m_exchange, &HttpExchange::headReceived, this, &HttpClient::keepCookies);
    connect(&m_exchange, &HttpExchange::bodyReceived, this, &HttpClient::receive);
    connect(&m_exchange, &HttpExchange::finished, this, &HttpClient::complete);
}

HttpClient::~HttpClient() {
    liveClients().remove(this);
    m_exchange.abort();
}

void HttpClient::abortAll() {
    const QSet<HttpClient*> clients = liveClients(); // an abort may end another client
    for (HttpClient* client : clients)
        if (liveClients().contains(client))
            client->abort();
}

void HttpClient::get(const QUrl& url, QIODevice* sink) {
    HttpExchange::Request request;
    request.url = url;
    send(request, sink);
}

void HttpClient::post(const QUrl& url, const QByteArray& form, QIODevice* sink) {
    HttpExchange::Request request;
    request.method = QByteArrayLiteral("POST");
    request.url = url;
    request.body = form;
    request.headers << HttpExchange::Header("Content-Type", "application/x-www-form-urlencoded");
    send(request, sink);
}

// Ends what still runs, takes the desktop's proxy afresh, sets the fixed headers and the
// cookies kept for the address, and starts the exchange.
void HttpClient::send(HttpExchange::Request request, QIODevice* sink) {
    abort();
    m_result = HttpResult();
    m_sink = sink;
    const TProxySetting proxy = GetIEProxy(QStringLiteral("http"));
    request.proxyHost = proxy.Host;
    request.proxyPort = quint16(qBound(0, proxy.Port, 65535));
    request.headers.prepend(HttpExchange::Header("User-Agent", m_userAgent));
    request.headers.prepend(HttpExchange::Header("Accept", Accept));
    QByteArray cookies;
    for (const QNetworkCookie& cookie : m_cookies->cookiesForUrl(request.url))
        cookies +=
            (cookies.isEmpty() ? "" : "; ") + cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
    if (!cookies.isEmpty())
        request.headers << HttpExchange::Header("Cookie", cookies);
    m_running = true;
    m_idle.start(m_timeoutMs);
    if (m_totalLimitMs > 0)
        m_total.start(m_totalLimitMs);
    m_url = request.url;
    m_exchange.start(request);
}

HttpResult HttpClient::fetch(const QUrl& url, QIODevice* sink) {
    get(url, sink);
    return wait();
}

HttpResult HttpClient::fetchPost(const QUrl& url, const QByteArray& form, QIODevice* sink) {
    post(url, form, sink);
    return wait();
}

// Waits for the running transfer in a local event loop, so the window keeps handling input,
// painting and timers meanwhile.
HttpResult HttpClient::wait() {
    if (isRunning()) {
        QEventLoop loop;
        connect(this, &HttpClient::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_result;
}

void HttpClient::abort() {
    if (!m_running)
        return;
    m_result.aborted = true;
    fail(tr("The transfer was cancelled."));
}

void HttpClient::keepCookies() {
    m_result.status = m_exchange.status();
    for (const HttpExchange::Header& h : m_exchange.replyHeaders())
        if (h.first.compare("Set-Cookie", Qt::CaseInsensitive) == 0)
            m_cookies->setCookiesFromUrl(QNetworkCookie::parseCookies(h.second), m_url);
}

void HttpClient::receive(const QByteArray& bytes) {
    if (m_maxBodyBytes >= 0 && m_result.bytes + bytes.size() > m_maxBodyBytes) {
        fail(tr("The reply is larger than %1 bytes.").arg(m_maxBodyBytes));
        return;
    }
    if (!m_sink || m_sink->write(bytes) != bytes.size()) {
        fail(tr("The reply could not be stored: %1")
                 .arg(m_sink ? m_sink->errorString() : tr("no file")));
        return;
    }
    m_result.bytes += bytes.size();
}

void HttpClient::complete(const QString& errorText) {
    if (!m_running)
        return;
    m_idle.stop();
    m_total.stop();
    m_running = false;
    m_result.status = m_exchange.status();
    m_result.errorText = errorText;
    emit finished(m_result);
}

// Ends the running exchange here (nothing more comes of it) and reports it as failed.
void HttpClient::fail(const QString& text) {
    if (!m_running)
        return;
    m_exchange.abort();
    complete(text);
}
