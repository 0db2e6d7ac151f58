#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A misbehaving HTTP server on 127.0.0.1 for fault tests: it can accept and never answer,
// close in the middle of a reply, answer any status with any headers, or send a huge body.
// Records every request it reads, headers included.
class BrokenServer : public QObject {
public:
    enum class Mode {
        Silent,        // accepts the connection, reads the request, never answers
        CloseMidReply, // promises a long body, sends a little of it and closes
        Answer,        // answers status, headers and body as set
        Huge,          // answers 200 with hugeBytes bytes of body
        HangUp,        // reads the request and closes the connection without a reply
        Raw,           // sends the raw bytes as set, then closes
        Drip,          // promises a long body and sends one byte of it every 20 ms
    };

    BrokenServer();
    ~BrokenServer() override;

    void setMode(Mode mode) { m_mode = mode; }
    // Answer mode: the status line's code, extra header lines ("Name: value\r\n" each), body.
    void setAnswer(int status, const QByteArray& body = QByteArray(),
                   const QByteArray& headers = QByteArray());
    void setHugeBytes(qint64 bytes) { m_hugeBytes = bytes; }
    // Raw mode: the whole reply, status line to body, as it goes on the wire.
    void setRaw(const QByteArray& reply) {
        m_mode = Mode::Raw;
        m_raw = reply;
    }

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>/hvx/"
    QString base() const;
    int connections() const { return m_connections; }
    // Every request read so far, request line and headers as received.
    const QList<QByteArray>& requests() const { return m_requests; }
    // The request target ("/hvx/...") of each request read.
    QList<QByteArray> paths() const;

private:
    void read(QTcpSocket* socket);
    void respond(QTcpSocket* socket);
    void sendMore(QTcpSocket* socket);

    QTcpServer m_server;
    Mode m_mode = Mode::Answer;
    int m_status = 200;
    QByteArray m_body;
    QByteArray m_headers;
    QByteArray m_raw;
    qint64 m_hugeBytes = 50 * 1024 * 1024;
    int m_connections = 0;
    QList<QByteArray> m_requests;
};
