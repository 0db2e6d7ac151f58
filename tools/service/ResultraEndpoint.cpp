#include "ResultraEndpoint.h"

#include <QFile>

namespace {
int listingCount(const QString& dataDir) {
    QFile file(dataDir + QStringLiteral("/resultra.count"));
    bool ok = false;
    const int count = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt(&ok) : 0;
    return ok && count > 0 ? count : ListingDirectory::DefaultCount;
}
} // namespace

ResultraEndpoint::ResultraEndpoint(const QString& dataDir)
    : Endpoint(dataDir), m_handler(listingCount(dataDir)) {}

QHttpServerResponse ResultraEndpoint::answer(const QHttpServerRequest& request) {
    return text(m_handler.reply(request.url().query(QUrl::FullyEncoded).toLatin1()));
}
