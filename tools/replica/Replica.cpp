#include "Replica.h"

#include "online/UpdatePlan.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
constexpr const char* StagedSuffix = ".replica-new";

QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

// The executable of a process as the kernel reports it, without the mark of a replaced file.
QString executableOf(const QString& pid) {
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/") + pid + QStringLiteral("/exe"));
    if (target.endsWith(QLatin1String(" (deleted)")))
        target.chop(10);
    return target;
}
} // namespace

Replica::Replica(const QString& programPath)
    : m_program(canonical(programPath)),
      m_prefix(QDir::cleanPath(QFileInfo(m_program).absolutePath() + QStringLiteral("/.."))) {}

bool Replica::isRunning(const QString& path) {
    const QString wanted = canonical(path);
    const QString self = QString::number(::getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        if (pid == self || pid.isEmpty() || !pid.front().isDigit())
            continue;
        if (executableOf(pid) == wanted)
            return true;
    }
    return false;
}

bool Replica::waitForProgramEnd(int timeoutMs) const {
    QElapsedTimer timer;
    timer.start();
    while (isRunning(m_program)) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

QStringList Replica::updateFiles(const QString& updateDir) {
    return UpdatePlan::files(updateDir);
}

// Copies one file next to its target under a staging name, flushed to disk, with the source's
// permissions, so that the rename that follows swaps in a complete file.
bool Replica::stage(const QString& relative, const QString& staged) {
    const QString source = tempDir() + QStringLiteral("/file/") + relative;
    const QString target = m_prefix + u'/' + relative;
    if (QFileInfo(target).isDir()) {
        m_error = target + QStringLiteral(": a folder is in the way");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        m_error = QFileInfo(target).absolutePath() + QStringLiteral(": cannot create the folder");
        return false;
    }
    QFile in(source);
    QFile out(staged);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = (in.isOpen() ? staged : source) + QStringLiteral(": ") +
                  (in.isOpen() ? out.errorString() : in.errorString());
        return false;
    }
    QByteArray block;
    while (!(block = in.read(1 << 20)).isEmpty()) {
        if (out.write(block) != block.size()) {
            m_error = staged + QStringLiteral(": ") + out.errorString();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError || !out.flush() || ::fsync(out.handle()) != 0 ||
        !out.setPermissions(in.permissions())) {
        m_error = staged + QStringLiteral(": cannot complete the copy");
        return false;
    }
    return true;
}

void Replica::discard(const QStringList& staged) const {
    for (const QString& file : staged)
        QFile::remove(file);
}

bool Replica::copyUpdate() {
    const QString updateDir = tempDir() + QStringLiteral("/file");
    if (!QFileInfo(updateDir).isDir()) {
        m_error = updateDir + QStringLiteral(": no unpacked update");
        return false;
    }
    const QStringList files = updateFiles(updateDir);
    QStringList staged;
    for (const QString& relative : files) {
        staged << m_prefix + u'/' + relative + QLatin1String(StagedSuffix);
        if (!stage(relative, staged.last())) {
            discard(staged);
            return false;
        }
    }
    for (int i = 0; i < files.size(); ++i) {
        const QByteArray from = QFile::encodeName(staged[i]);
        const QByteArray to = QFile::encodeName(m_prefix + u'/' + files[i]);
        if (::rename(from.constData(), to.constData()) != 0) {
            m_error = QFile::decodeName(to) + QStringLiteral(": ") +
                      QString::fromLocal8Bit(std::strerror(errno));
            discard(staged.mid(i));
            return false;
        }
    }
    return true;
}

bool Replica::writeMarker() {
    QSaveFile marker(tempDir() + QStringLiteral("/replica.ok"));
    if (!marker.open(QIODevice::WriteOnly) || marker.write("ok\n") != 3 || !marker.commit()) {
        m_error = marker.fileName() + QStringLiteral(": ") + marker.errorString();
        return false;
    }
    return true;
}

// The program's own standard streams may be gone with the program that handed over (a pipe
// whose reader has ended would kill it at its first message), so it starts on the null device.
bool Replica::restartProgram() const {
    QProcess program;
    program.setProgram(m_program);
    program.setWorkingDirectory(QFileInfo(m_program).absolutePath());
    program.setStandardInputFile(QProcess::nullDevice());
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    return program.startDetached();
}
