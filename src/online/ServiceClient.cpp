#include "online/ServiceClient.h"

#include "app/Helpers.h"
#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstdio>
#include <utility>

std::array<QString, 2> ServiceClient::Bases(const SettingsStore& settings) {
    std::array<QString, 2> bases{DefaultBase0, DefaultBase1};
    for (int i = 0; i < 2; ++i) {
        const QString given =
            TrimBlanks(settings.ReadText(QStringLiteral("SERVICE\\BASE%1").arg(i), QString()));
        if (given.isEmpty())
            continue;
        // Requests are appended directly, so the address ends with its slash.
        bases[size_t(i)] = given.endsWith(u'/') ? given : given + u'/';
    }
    return bases;
}

ServiceClient::ServiceClient(const std::array<QString, 2>& bases, QString replyFile,
                             QObject* parent)
    : QObject(parent), m_bases(bases), m_replyFile(std::move(replyFile)) {}

bool ServiceClient::IT_ProReq(const QString& request) {
    if (m_busy)
        return false;
    m_text = request;
    m_result = false;
    m_busy = true;
    run();
    m_busy = false;
    return m_result;
}

qint64 ServiceClient::ceiling() const {
    if (!isPart())
        return ListCeiling;
    const QStorageInfo disk(QFileInfo(m_replyFile).absolutePath());
    const qint64 room = disk.isValid() ? disk.bytesAvailable() - KeepFreeBytes : PartCeiling;
    return qBound<qint64>(0, room, PartCeiling);
}

void ServiceClient::run() {
    m_result = false;
    if (QFileInfo::exists(m_replyFile) && !QFile::remove(m_replyFile))
        return; // a stale reply that cannot go: nothing is sent
    const QString url = base(m_failures % 2) + m_text;
    // The temp folder is made at the first show; made again here if it went missing since.
    QDir().mkpath(QFileInfo(m_replyFile).path());
    const qint64 most = ceiling();
    if (most <= 0) {
        // A background download: said once on stderr, not in a box at every attempt.
        static bool told = false;
        if (!std::exchange(told, true))
            std::fprintf(
                stderr, "tessaro-kavelin: update parts wait: %s has less than %lld MB free\n",
                qPrintable(QFileInfo(m_replyFile).absolutePath()), KeepFreeBytes / (1024 * 1024));
        return;
    }
    QFile file(m_replyFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        emit errorOccurred(tr("Cannot create %1: %2")
                               .arg(QDir::toNativeSeparators(m_replyFile), file.errorString()));
        return;
    }
    m_client.setMaxBodyBytes(most);
    m_client.setTotalLimit(isPart() ? PartTotalMs : ListTotalMs);
    const HttpResult outcome = m_client.fetch(QUrl(url), &file);
    m_result = outcome.ok();
    file.close();
    if (outcome.transferFailed()) {
        m_result = false;
        ++m_failures;
        QFile::remove(m_replyFile); // half a reply is of no use to anyone
    }
}

bool ServiceClient::IT_GetInfo(const QString& request, QStringList& lines) {
    if (!IT_ProReq(request))
        return false;
    QFile file(m_replyFile);
    if (file.open(QIODevice::ReadOnly))
        lines = Lines(file.readAll());
    else
        lines.clear();
    file.close();
    QFile::remove(m_replyFile);
    return !lines.isEmpty();
}

QStringList ServiceClient::Lines(const QByteArray& reply) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < reply.size(); ++i) {
        const char c = reply.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << QString::fromLatin1(reply.mid(start, i - start));
        if (c == '\r' && i + 1 < reply.size() && reply.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < reply.size())
        lines << QString::fromLatin1(reply.mid(start));
    return lines;
}
