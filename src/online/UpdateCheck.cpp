#include "online/UpdateCheck.h"

#include "app/Helpers.h"
#include "online/UpdateSignature.h"
#include "online/UpdateTimer.h"

#include <QFile>
#include <cstdio>

UpdateCheck::UpdateCheck(SingleValueHelper& sysMm, const QString& tempDir, UpdateTimer& che,
                         UpdateTimer& dl, UpdateService service, QObject* parent)
    : QObject(parent), m_queue(sysMm, tempDir), m_temp(tempDir), UPD_CHE(che), UPD_DL(dl),
      m_service(std::move(service)) {}

void UpdateCheck::UPD_CHETimer() {
    try {
        checkOffer();
    } catch (const std::exception&) {
        UPD_CHE.stop();
    }
}

void UpdateCheck::UPD_DLTimer() {
    try {
        download();
    } catch (const std::exception&) {
        UPD_DL.stop();
    }
}

void UpdateCheck::checkOffer() {
    QStringList reply;
    if (!m_service.getInfo(QStringLiteral("getupd.php?hsh=yes"), reply))
        return;
    const QString offered = reply.first();
    if (offered.compare(m_queue.storedFingerprint(), Qt::CaseInsensitive) == 0) {
        UPD_CHE.stop();
    } else {
        QStringList lines;
        if (m_service.getInfo(QStringLiteral("getupd.php?hsh=more"), lines)) {
            // The line break after the last line is not a line of its own.
            while (!lines.isEmpty() && lines.last().isEmpty())
                lines.removeLast();
            // Only a list whose every line checks out is stored; the statements are built
            // from the parsed values, never from the reply text.
            const auto parts = UpdateQueue::parsePartList(lines);
            if (parts && !parts->isEmpty() && offered.size() <= FingerprintLimit)
                queueIfSigned(offered, *parts);
        }
    }
    if (m_queue.stateText() == QLatin1String("1"))
        UPD_DL.start();
    else
        UPD_DL.stop();
}

// Only a set the maker signed is queued. Any other is refused with one line per offered
// fingerprint, and the check goes on asking, so a set signed later is still taken in this run.
void UpdateCheck::queueIfSigned(const QString& offered, const QList<UpdatePart>& parts) {
    QStringList reply;
    const bool served =
        m_service.getInfo(QStringLiteral("getupd.php?file=") + SignatureFile, reply);
    const std::optional<QByteArray> signature =
        served ? UpdateSignature::parse(reply.first()) : std::nullopt;
    if (!signature ||
        !UpdateSignature::verify(UpdateSignature::message(offered, parts), *signature)) {
        if (offered != m_refused)
            std::fprintf(stderr, "tessaro-kavelin: update set refused: %s\n",
                         served ? "its signature is wrong" : "it is not signed");
        m_refused = offered;
        return;
    }
    if (m_queue.acceptPartList(parts, offered, QString::fromLatin1(signature->toHex())) >= 1)
        UPD_CHE.stop();
}

void UpdateCheck::download() {
    const std::optional<UpdatePart> part = m_queue.nextPending();
    if (!part) {
        m_queue.markAllDownloaded();
        UPD_DL.stop();
        return;
    }
    const QString path = m_queue.partPath(part->id);
    if (!FileMatchesMd5(path, part->hsh) && m_service.proReq(QStringLiteral("getupd.php?file=") +
                                                             UpdateQueue::partFileName(part->id))) {
        // The reply takes the part's place whole, so a part file is never half written.
        const QByteArray from = QFile::encodeName(m_temp + QStringLiteral("/file.tmp"));
        if (::rename(from.constData(), QFile::encodeName(path).constData()) != 0)
            QFile::remove(path);
    }
    if (FileMatchesMd5(path, part->hsh))
        m_queue.markDownloaded(part->id);
}
