#include "AdPicEndpoint.h"

#include <QUrlQuery>

namespace {
int number(const QUrlQuery& query, const char* key) {
    return query.queryItemValue(QString::fromLatin1(key)).toInt();
}
} // namespace

QHttpServerResponse AdPicEndpoint::answer(const QHttpServerRequest& request) {
    const QUrlQuery query = request.query();
    const Advert* advert = m_catalog->find(query.queryItemValue(QStringLiteral("id")));
    if (!advert)
        return notFound();
    const int width = qBound(16, number(query, "w"), 2400);
    const int height = qBound(16, number(query, "h"), 2400);
    return QHttpServerResponse(QByteArrayLiteral("image/svg+xml"),
                               AdvertCatalog::picture(*advert, width, height));
}
