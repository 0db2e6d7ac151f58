#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// The reference service tk-service started on a free loopback port over a data folder (a
// fresh empty one unless given), ready when the constructor returns; stopped when destroyed.
// Collects the request lines the service logs.
class ServiceProcess {
public:
    explicit ServiceProcess(const QString& dataDir = QString());
    ~ServiceProcess();

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString dataDir() const { return m_dataDir; }
    // "http://127.0.0.1:<port>/hvx/"
    QString base() const;
    // The requests served so far, each as "/hvx/<name>?<query> <status>".
    QStringList requests();
    // Waits (processing events) until at least count requests were logged or ms passed.
    bool waitForRequests(int count, int ms = 10000);
    void clearRequests();

private:
    void readLog();

    QTemporaryDir m_ownData;
    QString m_dataDir;
    QProcess m_process;
    QByteArray m_pending;
    QStringList m_requests;
    quint16 m_port = 0;
};
