#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

class QTcpSocket;

// One HTTP/1.1 request and its reply on a connection of its own ("Connection: close"). The
// request goes on the wire exactly once: a connection that drops before the reply is complete
// ends the exchange as failed, never with a second copy of the request (a server may already
// have acted on the first). Plain "http:" directly or through an HTTP proxy; "https:" directly
// or through the proxy's CONNECT tunnel.
class HttpExchange : public QObject {
    Q_OBJECT
public:
    using Header = QPair<QByteArray, QByteArray>;

    struct Request {
        QByteArray method = QByteArrayLiteral("GET");
        QUrl url;
        QList<Header> headers; // sent as given, after Host
        QByteArray body;       // sent with Content-Length when the method is not GET
        QString proxyHost;     // empty: connect to the server itself
        quint16 proxyPort = 0;
    };

    // The longest status line and header block taken from a server.
    static constexpr qsizetype MaxHeadBytes = 64 * 1024;

    explicit HttpExchange(QObject* parent = nullptr);
    ~HttpExchange() override;

    // Opens the connection and sends the request; the outcome arrives as signals.
    void start(const Request& request);
    // Closes the connection at once; no signal follows.
    void abort();

    int status() const { return m_status; }
    // The reply's header lines, names as sent, in order (Set-Cookie may repeat).
    const QList<Header>& replyHeaders() const { return m_replyHeaders; }

signals:
    // Bytes moved in either direction: the connection is alive.
    void progressed();
    // The status line and headers of the final reply were read.
    void headReceived();
    // Body bytes, in order, with any transfer coding removed.
    void bodyReceived(const QByteArray& bytes);
    // The exchange ended: errorText is empty when the whole reply arrived.
    void finished(const QString& errorText);

private:
    enum class Stage { Tunnel, Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done };

    void connectSocket();
    void sendRequest();
    void onReadable();
    void onClosed();
    bool parseTunnel();
    bool parseHead();
    bool parseBody();
    bool takeLine(QByteArray& line);
    void beginBody();
    void deliver(const QByteArray& bytes);
    void complete();
    void fail(const QString& text);

    Request m_request;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_buffer;
    Stage m_stage = Stage::Head;
    int m_status = 0;
    QList<Header> m_replyHeaders;
    qint64 m_remaining = -1; // body or chunk bytes still to come; -1: until the server closes
    qsizetype m_headBytes = 0;
    bool m_ended = false;
};
