#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The modem simulator tk-modemsim as a real process on a pseudo-terminal, reached through a
// stable link in a temporary folder, with its log of what it received and sent.
class ModemSimProcess {
public:
    explicit ModemSimProcess(const QStringList& arguments = {});
    ~ModemSimProcess();

    // Starts (again) with the arguments; answers whether the terminal is ready.
    bool start(const QStringList& arguments);
    void kill();
    // The link to the terminal, for DIALER\PORTS.
    QString port() const { return m_dir.path() + QStringLiteral("/modem0"); }
    // The log lines so far, e.g. "RECV ATZ", "SEND OK", "DIAL 5551234 busy".
    QStringList log() const;
    // The commands received, in order.
    QStringList received() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};
