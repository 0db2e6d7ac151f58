#include "AdvertEndpoint.h"

#include <QUrlQuery>

namespace {
int number(const QUrlQuery& query, const char* key) {
    return query.queryItemValue(QString::fromLatin1(key)).toInt();
}

} // namespace

QHttpServerResponse AdvertEndpoint::answer(const QHttpServerRequest& request) {
    const QUrlQuery query = request.query();
    const int page = number(query, "pgi");
    const int counter = number(query, "cnt");
    int screen = number(query, "scr");
    if (screen <= 0)
        screen = 1024;
    const QString qry = query.queryItemValue(QStringLiteral("qry"), QUrl::FullyEncoded);
    const Advert& advert = m_catalog->pick(page, counter, qry);
    const QString html =
        QStringLiteral("<html><head><title>%1</title></head><body bgcolor=\"#536a9f\">%2\n"
                       "<!--done--></body></html>\n")
            .arg(advert.headline.toHtmlEscaped(), body(advert, qBound(640, screen, 4096)));
    return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), html.toUtf8());
}

QString AdvertEndpoint::picture(const Advert& advert, int width, int height) {
    return QStringLiteral("<img src=\"adpic.php?id=%1&amp;w=%2&amp;h=%3\" width=\"%2\" "
                          "height=\"%3\" alt=\"%4\">")
        .arg(advert.id)
        .arg(width)
        .arg(height)
        .arg(advert.headline.toHtmlEscaped());
}
