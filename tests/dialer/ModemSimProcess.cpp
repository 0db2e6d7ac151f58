#include "ModemSimProcess.h"

#include <QFile>
#include <QFileInfo>

ModemSimProcess::ModemSimProcess(const QStringList& arguments) {
    if (!arguments.isEmpty())
        start(arguments);
}

ModemSimProcess::~ModemSimProcess() {
    kill();
}

bool ModemSimProcess::start(const QStringList& arguments) {
    kill();
    QFile::remove(m_dir.path() + QStringLiteral("/modem.log"));
    m_process.setProgram(QStringLiteral(TK_BINARY_DIR "/tools/modemsim/tk-modemsim"));
    m_process.setArguments(QStringList{QStringLiteral("--link"), port(), QStringLiteral("--log"),
                                       m_dir.path() + QStringLiteral("/modem.log"),
                                       QStringLiteral("--exit-with-parent")} +
                           arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    // The first line is the terminal's path, written once the link is in place.
    return m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000) &&
           QFileInfo::exists(port());
}

void ModemSimProcess::kill() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

QStringList ModemSimProcess::log() const {
    QFile file(m_dir.path() + QStringLiteral("/modem.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList ModemSimProcess::received() const {
    QStringList commands;
    for (const QString& line : log()) {
        if (line.startsWith(QLatin1String("RECV ")))
            commands << line.mid(5);
    }
    return commands;
}
