#include "GetUpdEndpoint.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrlQuery>

namespace {
// The whole file, or nothing when it is missing.
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

QHttpServerResponse GetUpdEndpoint::answer(const QHttpServerRequest& request) {
    const QUrlQuery query = request.query();
    const QString hsh = query.queryItemValue(QStringLiteral("hsh"));
    if (hsh == QStringLiteral("yes"))
        return text(contents(dataPath(QStringLiteral("update/fingerprint.txt"))));
    if (hsh == QStringLiteral("more"))
        return text(contents(dataPath(QStringLiteral("update/parts.txt"))));
    if (query.hasQueryItem(QStringLiteral("file"))) {
        // Only the part names and the set's signature are served: nothing else of the data
        // folder can be reached.
        static const QRegularExpression partName(QStringLiteral("^file\\.(zup\\.[0-9]{3,}|sig)$"));
        const QString name = query.queryItemValue(QStringLiteral("file"), QUrl::FullyDecoded);
        QFile part(dataPath(QStringLiteral("update/") + name));
        if (partName.match(name).hasMatch() && part.open(QIODevice::ReadOnly))
            return QHttpServerResponse(QByteArrayLiteral("application/octet-stream"),
                                       part.readAll());
    }
    return notFound();
}
