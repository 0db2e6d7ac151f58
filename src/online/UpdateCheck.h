#pragma once

#include "online/UpdateQueue.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class UpdateTimer;

// The main window's service requests the update check and download go through.
struct UpdateService {
    // Fetches base address + request into ../temp/file.tmp; true for a reply with status 200.
    std::function<bool(const QString& request)> proReq;
    // The same, then the reply's lines; true when there is at least one.
    std::function<bool(const QString& request, QStringList& lines)> getInfo;
};

// The running program's side of updates: UPD_CHE asks the service whether the offered update
// set has changed and queues its part list; UPD_DL fetches the queued parts one per run, each
// kept only when it matches its digest, and marks the update downloaded when none is left. A
// database error stops the timer whose run failed for the rest of the run.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    // Longest fingerprint the configuration row holds.
    static constexpr int FingerprintLimit = 250;
    // The set's signature as the service serves it (getupd.php?file=...).
    static inline const QString SignatureFile = QStringLiteral("file.sig");

    UpdateCheck(SingleValueHelper& sysMm, const QString& tempDir, UpdateTimer& che, UpdateTimer& dl,
                UpdateService service, QObject* parent = nullptr);

    void UPD_CHETimer();
    void UPD_DLTimer();

    UpdateQueue& queue() { return m_queue; }

private:
    void checkOffer();
    void queueIfSigned(const QString& offered, const QList<UpdatePart>& parts);
    void download();

    UpdateQueue m_queue;
    QString m_temp;
    UpdateTimer& UPD_CHE;
    UpdateTimer& UPD_DL;
    UpdateService m_service;
    // The last offered fingerprint refused for its signature, told once.
    std::optional<QString> m_refused;
};
