#include "BrokenServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
constexpr qint64 Chunk = 256 * 1024;

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
} // namespace

BrokenServer::BrokenServer() {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_connections;
            socket->setParent(this);
            socket->setProperty("head", QByteArray());
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_server.listen(QHostAddress::LocalHost);
}

BrokenServer::~BrokenServer() {
    m_server.close();
}

void BrokenServer::setAnswer(int status, const QByteArray& body, const QByteArray& headers) {
    m_mode = Mode::Answer;
    m_status = status;
    m_body = body;
    m_headers = headers;
}

QString BrokenServer::base() const {
    return QStringLiteral("http://127.0.0.1:%1/hvx/").arg(port());
}

QList<QByteArray> BrokenServer::paths() const {
    QList<QByteArray> result;
    for (const QByteArray& request : m_requests)
        result << request.left(request.indexOf('\r')).split(' ').value(1);
    return result;
}

void BrokenServer::read(QTcpSocket* socket) {
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("head", head);
        return;
    }
    socket->setProperty("head", head.mid(end + 4));
    m_requests << head.left(end + 2);
    respond(socket);
}

void BrokenServer::respond(QTcpSocket* socket) {
    switch (m_mode) {
    case Mode::Silent:
        return;
    case Mode::HangUp:
        socket->disconnectFromHost();
        return;
    case Mode::Raw:
        socket->write(m_raw);
        socket->disconnectFromHost();
        return;
    case Mode::Drip: {
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n");
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket] { socket->write("d"); });
        drip->start(20);
        return;
    }
    case Mode::CloseMidReply:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n"
                      "\r\n" +
                      QByteArray(1000, 'x'));
        socket->flush();
        socket->disconnectFromHost();
        return;
    case Mode::Answer:
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason(m_status) +
                      "\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(m_body.size()) + "\r\n" + m_headers + "\r\n" + m_body);
        return;
    case Mode::Huge:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(m_hugeBytes) + "\r\n\r\n");
        socket->setProperty("left", m_hugeBytes);
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
        sendMore(socket);
        return;
    }
}

void BrokenServer::sendMore(QTcpSocket* socket) {
    qint64 left = socket->property("left").toLongLong();
    if (left <= 0 || socket->bytesToWrite() > Chunk)
        return;
    const qint64 n = std::min(left, Chunk);
    socket->write(QByteArray(n, 'y'));
    socket->setProperty("left", left - n);
}
