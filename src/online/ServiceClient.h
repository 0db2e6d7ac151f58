#pragma once

#include "online/HttpClient.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class SettingsStore;

// The main window's requests to the web service: one at a time, each fetched into the reply
// file while the caller waits in a local event loop (the window keeps working), with failover
// between the two base addresses after a failed transfer.
class ServiceClient : public QObject {
    Q_OBJECT
public:
    static inline const QString DefaultBase0 =
        QStringLiteral("http://service1.tessarokavelin.com/hvx/");
    static inline const QString DefaultBase1 =
        QStringLiteral("http://service2.tessarokavelin.com/hvx/");
    static inline const QString DefaultReplyFile = QStringLiteral("../temp/file.tmp");
    // The largest reply taken: a part file (and never more than the reply folder's free space
    // less KeepFreeBytes), or the fingerprint and the part list. A reply beyond it is a failed
    // transfer and what came of it is removed.
    static constexpr qint64 PartCeiling = 64LL * 1024 * 1024;
    static constexpr qint64 ListCeiling = 64 * 1024;
    static constexpr qint64 KeepFreeBytes = 100LL * 1024 * 1024;
    // The longest a whole transfer may take: a part, or anything else.
    static constexpr int PartTotalMs = 60000;
    static constexpr int ListTotalMs = HttpClient::TotalLimitMs;

    // The base addresses: the built-in ones, each replaced by SERVICE\BASE0 / SERVICE\BASE1
    // when that key has text. Only read, never written.
    static std::array<QString, 2> Bases(const SettingsStore& settings);

    ServiceClient(const std::array<QString, 2>& bases, QString replyFile,
                  QObject* parent = nullptr);

    // Fetches base address + request into the reply file; true only for a reply with status
    // 200. While a request runs, answers false at once without sending anything.
    bool IT_ProReq(const QString& request);
    // IT_ProReq, then the reply file's lines (taken byte for byte) replace lines; true when
    // there was at least one line. The reply file is deleted afterwards.
    bool IT_GetInfo(const QString& request, QStringList& lines);

    bool ReqBusy() const { return m_busy; }
    bool ReqResult() const { return m_result; }
    int ReqFailures() const { return m_failures; }
    const QString& ReqText() const { return m_text; }
    QString base(int index) const { return m_bases.at(size_t(index) % 2); }
    const QString& replyFile() const { return m_replyFile; }
    HttpClient& client() { return m_client; }
    // Ends a running request at once (the program is ending); it fails.
    void abort() { m_client.abort(); }

    // Splits a reply into lines ending at CR, LF or CR LF; bytes map one to one to characters.
    static QStringList Lines(const QByteArray& reply);

signals:
    // A fault outside the transfer itself (the reply file cannot be created), for the user.
    void errorOccurred(const QString& text);

private:
    void run();
    // Whether the current request fetches an update part (else a list).
    bool isPart() const { return m_text.contains(QLatin1String("file=")); }
    // The ceiling for the current request; 0 when not even a byte would fit.
    qint64 ceiling() const;

    HttpClient m_client;
    std::array<QString, 2> m_bases;
    QString m_replyFile;
    QString m_text;
    bool m_result = false;
    bool m_busy = false;
    int m_failures = 0;
};
