#pragma once

#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QString>

// One endpoint of the service, answering GET requests for its file name under the base path
// from the service's data folder.
class Endpoint {
public:
    explicit Endpoint(QString dataDir) : m_dataDir(std::move(dataDir)) {}
    virtual ~Endpoint() = default;
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

    // The name under the base path, for example "getupd.php".
    virtual QString name() const = 0;
    virtual QHttpServerResponse answer(const QHttpServerRequest& request) = 0;

protected:
    QString dataPath(const QString& relative) const { return m_dataDir + u'/' + relative; }
    // A plain text body; the bytes are passed on as stored.
    static QHttpServerResponse text(const QByteArray& body);
    static QHttpServerResponse notFound();

private:
    QString m_dataDir;
};
