#pragma once

#include "Endpoint.h"

#include <QHttpServer>

#include <memory>
#include <vector>

// The HTTP server: listens on the loopback address only, hands each request under the base
// path to its endpoint and logs one line per request to standard output.
class Service {
public:
    static inline const QString BasePath = QStringLiteral("/hvx/");

    explicit Service(QString dataDir);

    // Registers an endpoint under BasePath + its name.
    void add(std::unique_ptr<Endpoint> endpoint);
    // Answers the port listened on (the given one, or a free one for 0), 0 on failure.
    quint16 listen(quint16 port);
    const QString& dataDir() const { return m_dataDir; }

private:
    static void log(const QHttpServerRequest& request, int status, qsizetype bytes);

    QString m_dataDir;
    QHttpServer m_server;
    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
};

// Registers every endpoint of the service: the one place that lists them.
void registerEndpoints(Service& service);
