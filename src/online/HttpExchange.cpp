#include "online/HttpExchange.h"

#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>

namespace {
bool isSecure(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

quint16 portOf(const QUrl& url) {
    return quint16(url.port(isSecure(url) ? 443 : 80));
}

QByteArray hostAndPort(const QUrl& url) {
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    return host + ':' + QByteArray::number(portOf(url));
}

// The Host header: the port only when the address names one that is not the scheme's own.
QByteArray hostHeader(const QUrl& url) {
    return url.authority(QUrl::FullyEncoded | QUrl::RemoveUserInfo).toLatin1();
}

QByteArray headerValue(const QList<HttpExchange::Header>& headers, const QByteArray& name) {
    for (const HttpExchange::Header& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}
} // namespace

HttpExchange::HttpExchange(QObject* parent) : QObject(parent) {}

HttpExchange::~HttpExchange() {
    abort();
}

void HttpExchange::start(const Request& request) {
    abort();
    m_request = request;
    m_buffer.clear();
    m_status = 0;
    m_replyHeaders.clear();
    m_remaining = -1;
    m_headBytes = 0;
    m_ended = false;
    connectSocket();
}

void HttpExchange::abort() {
    m_ended = true;
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void HttpExchange::connectSocket() {
    const bool secure = isSecure(m_request.url);
    const bool viaProxy = !m_request.proxyHost.isEmpty();
    QSslSocket* ssl = secure ? new QSslSocket(this) : nullptr;
    m_socket = ssl ? ssl : new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpExchange::onReadable);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpExchange::progressed);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpExchange::onClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            onClosed();
        else if (m_socket)
            fail(m_socket->errorString());
    });
    const QString host = viaProxy ? m_request.proxyHost : m_request.url.host();
    const quint16 port = viaProxy ? m_request.proxyPort : portOf(m_request.url);
    if (ssl && !viaProxy) {
        m_stage = Stage::Head;
        connect(ssl, &QSslSocket::encrypted, this, &HttpExchange::sendRequest);
        ssl->connectToHostEncrypted(host, port);
        return;
    }
    if (ssl) {
        // Through the proxy: a CONNECT tunnel first, encryption once the proxy agreed.
        m_stage = Stage::Tunnel;
        connect(ssl, &QSslSocket::encrypted, this, &HttpExchange::sendRequest);
        connect(m_socket, &QTcpSocket::connected, this, [this] {
            const QByteArray target = hostAndPort(m_request.url);
            m_socket->write("CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n\r\n");
        });
    } else {
        m_stage = Stage::Head;
        connect(m_socket, &QTcpSocket::connected, this, &HttpExchange::sendRequest);
    }
    m_socket->connectToHost(host, port);
}

void HttpExchange::sendRequest() {
    const QUrl& url = m_request.url;
    const bool absolute = !m_request.proxyHost.isEmpty() && !isSecure(url);
    QByteArray target =
        absolute ? url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment)
                 : url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty())
        target = "/";
    QByteArray head =
        m_request.method + ' ' + target + " HTTP/1.1\r\nHost: " + hostHeader(url) + "\r\n";
    for (const Header& h : m_request.headers)
        head += h.first + ": " + h.second + "\r\n";
    if (m_request.method != "GET")
        head += "Content-Length: " + QByteArray::number(m_request.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    m_socket->write(head + (m_request.method != "GET" ? m_request.body : QByteArray()));
    emit progressed();
}

void HttpExchange::onReadable() {
    if (!m_socket)
        return;
    m_buffer += m_socket->readAll();
    emit progressed();
    bool more = true;
    while (more && !m_ended) {
        switch (m_stage) {
        case Stage::Tunnel:
            more = parseTunnel();
            break;
        case Stage::Head:
            more = parseHead();
            break;
        case Stage::Done:
            more = false;
            break;
        default:
            more = parseBody();
            break;
        }
    }
}

void HttpExchange::onClosed() {
    if (m_ended || !m_socket)
        return;
    onReadable();
    if (m_ended)
        return;
    if (m_stage == Stage::Body && m_remaining < 0)
        complete(); // a reply without length ends with the connection
    else if (m_status == 0)
        fail(tr("The server closed the connection without a reply."));
    else
        fail(tr("The server closed the connection before the reply was complete."));
}

// Takes one line (without its CR LF or LF) from the buffer; false until a whole line is there.
bool HttpExchange::takeLine(QByteArray& line) {
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0) {
        if (m_buffer.size() > MaxHeadBytes)
            fail(tr("The server sent a header line longer than %1 bytes.").arg(MaxHeadBytes));
        return false;
    }
    line = m_buffer.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    m_buffer.remove(0, end + 1);
    return true;
}

bool HttpExchange::parseTunnel() {
    QByteArray line;
    while (takeLine(line)) {
        if (m_status == 0) {
            const QList<QByteArray> words = line.split(' ');
            m_status = words.value(1).toInt();
            if (!line.startsWith("HTTP/") || m_status != 200) {
                fail(tr("The proxy refused the connection (%1).").arg(QString::fromLatin1(line)));
                return false;
            }
        } else if (line.isEmpty()) {
            m_status = 0;
            m_stage = Stage::Head;
            static_cast<QSslSocket*>(m_socket)->startClientEncryption();
            return false;
        }
    }
    return false;
}

bool HttpExchange::parseHead() {
    QByteArray line;
    while (takeLine(line)) {
        m_headBytes += line.size() + 2;
        if (m_headBytes > MaxHeadBytes) {
            fail(tr("The server's reply headers are longer than %1 bytes.").arg(MaxHeadBytes));
            return false;
        }
        if (m_status == 0) {
            bool number = false;
            m_status = line.split(' ').value(1).toInt(&number);
            if (!line.startsWith("HTTP/") || !number || m_status < 100 || m_status > 999) {
                m_status = 0;
                fail(tr("The server's reply is not HTTP."));
                return false;
            }
            continue;
        }
        if (!line.isEmpty()) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                m_replyHeaders << Header(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
            continue;
        }
        if (m_status < 200) { // an interim reply: the final one follows
            m_status = 0;
            m_replyHeaders.clear();
            m_headBytes = 0;
            return true;
        }
        beginBody();
        return true;
    }
    return false;
}

void HttpExchange::beginBody() {
    emit headReceived();
    if (m_ended)
        return;
    const bool none = m_request.method == "HEAD" || m_status == 204 || m_status == 304;
    const QByteArray coding = headerValue(m_replyHeaders, "Transfer-Encoding").toLower();
    const QByteArray length = headerValue(m_replyHeaders, "Content-Length");
    bool number = false;
    const qint64 declared = length.toLongLong(&number);
    if (none || (number && declared == 0 && !coding.contains("chunked"))) {
        complete();
    } else if (coding.contains("chunked")) {
        m_stage = Stage::ChunkSize;
    } else if (!length.isEmpty() && (!number || declared < 0)) {
        fail(tr("The server sent an invalid Content-Length."));
    } else {
        m_stage = Stage::Body;
        m_remaining = number ? declared : -1;
    }
}

bool HttpExchange::parseBody() {
    QByteArray line;
    switch (m_stage) {
    case Stage::Body:
    case Stage::ChunkData: {
        if (m_buffer.isEmpty())
            return false;
        const qsizetype take = m_remaining < 0
                                   ? m_buffer.size()
                                   : qsizetype(qMin<qint64>(m_remaining, m_buffer.size()));
        const QByteArray bytes = m_buffer.left(take);
        m_buffer.remove(0, take);
        if (m_remaining >= 0)
            m_remaining -= take;
        deliver(bytes);
        if (m_ended || m_remaining != 0)
            return !m_ended && !m_buffer.isEmpty();
        if (m_stage == Stage::Body) {
            complete();
            return false;
        }
        m_stage = Stage::ChunkEnd;
        return true;
    }
    case Stage::ChunkSize: {
        if (!takeLine(line))
            return false;
        bool number = false;
        const qint64 size = line.split(';').value(0).trimmed().toLongLong(&number, 16);
        if (!number || size < 0) {
            fail(tr("The server sent a damaged chunked reply."));
            return false;
        }
        m_remaining = size;
        m_stage = size == 0 ? Stage::Trailer : Stage::ChunkData;
        return true;
    }
    case Stage::ChunkEnd:
        if (!takeLine(line))
            return false;
        if (!line.isEmpty()) {
            fail(tr("The server sent a damaged chunked reply."));
            return false;
        }
        m_stage = Stage::ChunkSize;
        return true;
    case Stage::Trailer:
        if (!takeLine(line))
            return false;
        if (line.isEmpty())
            complete();
        return !m_ended;
    default:
        return false;
    }
}

void HttpExchange::deliver(const QByteArray& bytes) {
    if (!bytes.isEmpty())
        emit bodyReceived(bytes);
}

void HttpExchange::complete() {
    m_stage = Stage::Done;
    abort();
    emit finished(QString());
}

void HttpExchange::fail(const QString& text) {
    if (m_ended)
        return;
    abort();
    emit finished(text);
}
