#include "Endpoint.h"

QHttpServerResponse Endpoint::text(const QByteArray& body) {
    return QHttpServerResponse(QByteArrayLiteral("text/plain"), body);
}

QHttpServerResponse Endpoint::notFound() {
    return QHttpServerResponse(QByteArrayLiteral("text/html"),
                               QByteArrayLiteral("<html><body>Not Found</body></html>"),
                               QHttpServerResponse::StatusCode::NotFound);
}
