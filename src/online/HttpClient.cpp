#include "online/HttpClient.h"

#include "online/ProxySetting.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkRequest>

HttpClient::HttpClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    // The manager's own jar keeps cookies in memory for the life of this client.
    m_network->setCookieJar(new QNetworkCookieJar(m_network));
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        m_result.timedOut = true;
        fail(tr("The server did not answer within %1 seconds.").arg(m_timeoutMs / 1000.0));
    });
}

HttpClient::~HttpClient() {
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void HttpClient::get(const QUrl& url, QIODevice* sink) {
    const QNetworkRequest request = prepare(url, sink);
    watch(m_network->get(request));
}

void HttpClient::post(const QUrl& url, const QByteArray& form, QIODevice* sink) {
    QNetworkRequest request = prepare(url, sink);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    watch(m_network->post(request, form));
}

// Ends what still runs, takes the desktop's proxy afresh and sets the fixed headers.
QNetworkRequest HttpClient::prepare(const QUrl& url, QIODevice* sink) {
    abort();
    m_result = HttpResult();
    m_sink = sink;
    const TProxySetting proxy = GetIEProxy(QStringLiteral("http"));
    m_network->setProxy(proxy.Host.isEmpty()
                            ? QNetworkProxy(QNetworkProxy::NoProxy)
                            : QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Host,
                                            quint16(qBound(0, proxy.Port, 65535))));
    QNetworkRequest request(url);
    request.setRawHeader("Accept", Accept);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    return request;
}

void HttpClient::watch(QNetworkReply* reply) {
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &HttpClient::receive);
    connect(reply, &QNetworkReply::downloadProgress, this, [this] { m_idle.start(); });
    connect(reply, &QNetworkReply::uploadProgress, this, [this] { m_idle.start(); });
    connect(reply, &QNetworkReply::finished, this, &HttpClient::complete);
    m_idle.start(m_timeoutMs);
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
    if (!m_reply)
        return;
    m_result.aborted = true;
    fail(tr("The transfer was cancelled."));
}

void HttpClient::receive() {
    QNetworkReply* reply = m_reply;
    if (!reply || sender() != reply)
        return;
    m_idle.start();
    const QByteArray chunk = reply->readAll();
    if (m_maxBodyBytes >= 0 && m_result.bytes + chunk.size() > m_maxBodyBytes) {
        fail(tr("The reply is larger than %1 bytes.").arg(m_maxBodyBytes));
        return;
    }
    if (!m_sink || m_sink->write(chunk) != chunk.size()) {
        fail(tr("The reply could not be stored: %1")
                 .arg(m_sink ? m_sink->errorString() : tr("no file")));
        return;
    }
    m_result.bytes += chunk.size();
}

void HttpClient::complete() {
    QNetworkReply* reply = m_reply;
    if (!reply || sender() != reply)
        return;
    receive();
    if (!m_reply)
        return; // receive() failed the transfer
    m_idle.stop();
    m_reply = nullptr;
    m_result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    // Error statuses arrive as errors too; only a missing reply or a broken transfer counts here.
    if (error != QNetworkReply::NoError &&
        (m_result.status == 0 || error < QNetworkReply::ContentAccessDenied))
        m_result.errorText = reply->errorString();
    reply->disconnect(this);
    reply->deleteLater();
    emit finished(m_result);
}

void HttpClient::fail(const QString& text) {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_idle.stop();
    m_reply = nullptr;
    m_result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_result.errorText = text;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    emit finished(m_result);
}
