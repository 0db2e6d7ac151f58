#include "ServiceProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>

ServiceProcess::ServiceProcess(const QString& dataDir)
    : m_dataDir(dataDir.isEmpty() ? m_ownData.path() : dataDir) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TK_SERVICE_BIN), {QStringLiteral("--port"), QStringLiteral("0"),
                                                     QStringLiteral("--data"), m_dataDir});
    if (!m_process.waitForStarted(10000))
        return;
    QDeadlineTimer deadline(15000);
    while (!m_process.canReadLine() && !deadline.hasExpired() &&
           m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    static const QRegularExpression listening(
        QStringLiteral("listening on http://127.0.0.1:(\\d+)/"));
    const auto match = listening.match(QString::fromUtf8(m_process.readLine()));
    if (match.hasMatch())
        m_port = quint16(match.captured(1).toUInt());
}

ServiceProcess::~ServiceProcess() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString ServiceProcess::base() const {
    return QStringLiteral("http://127.0.0.1:%1/hvx/").arg(m_port);
}

void ServiceProcess::readLog() {
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QList<QByteArray> fields = m_pending.left(end).split(' ');
        m_pending.remove(0, end + 1);
        // "<time> GET|POST <target> <status> <bytes>"
        if (fields.size() >= 4 && (fields.at(1) == "GET" || fields.at(1) == "POST"))
            m_requests << QString::fromUtf8(fields.at(2) + ' ' + fields.at(3));
    }
}

QStringList ServiceProcess::requests() {
    m_process.waitForReadyRead(0);
    readLog();
    return m_requests;
}

bool ServiceProcess::waitForRequests(int count, int ms) {
    QDeadlineTimer deadline(ms);
    while (requests().size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        m_process.waitForReadyRead(20);
    }
    return requests().size() >= count;
}

void ServiceProcess::clearRequests() {
    requests();
    m_requests.clear();
}
