#include "Service.h"

#include <QDateTime>
#include <QHostAddress>

#include <cstdio>

Service::Service(QString dataDir) : m_dataDir(std::move(dataDir)) {
    m_server.afterRequest([](QHttpServerResponse&& response, const QHttpServerRequest& request) {
        log(request, int(response.statusCode()), response.data().size());
        return std::move(response);
    });
    m_server.setMissingHandler(
        [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            log(request, 404, 0);
            responder.write(QHttpServerResponder::StatusCode::NotFound);
        });
}

void Service::add(std::unique_ptr<Endpoint> endpoint) {
    Endpoint* target = endpoint.get();
    m_server.route(BasePath + target->name(),
                   [target](const QHttpServerRequest& request) { return target->answer(request); });
    m_endpoints.push_back(std::move(endpoint));
}

quint16 Service::listen(quint16 port) {
    return m_server.listen(QHostAddress::LocalHost, port);
}

void Service::log(const QHttpServerRequest& request, int status, qsizetype bytes) {
    const QByteArray line =
        QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() +
        (request.method() == QHttpServerRequest::Method::Post ? " POST " : " GET ") +
        request.url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + ' ' +
        QByteArray::number(status) + ' ' + QByteArray::number(bytes) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}
