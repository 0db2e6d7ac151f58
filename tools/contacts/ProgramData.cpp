#include "ProgramData.h"

#include "app/CheckPrevious.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace {
// Every admitted instance of the program holds a shared lock on the lock file beside its
// activation socket; an exclusive try fails while one runs. The instance is not disturbed.
bool programRuns(const QString& programPath) {
    try {
        const QByteArray name =
            QFile::encodeName(CheckPrevious::activationName(programPath) + QLatin1String(".lock"));
        const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return false;
        const bool running = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return running;
    } catch (const std::exception&) {
        return false; // no private folder: no instance can have one either
    }
}
} // namespace

ProgramData::ProgramData(const QString& binDirectory) : m_bin(binDirectory) {}

ProgramData::~ProgramData() = default;

QString ProgramData::programPath() const {
    return QDir(m_bin).absoluteFilePath(QStringLiteral("tessaro-kavelin"));
}

Databases& ProgramData::databases() {
    if (m_databases)
        return *m_databases;
    // The embedded engine opens the files for one process only: while the program runs, the
    // tool would only meet a lock error, so say plainly what to do.
    if (programRuns(programPath()))
        throw std::runtime_error(
            "Tessaro Kavelin is running and holds the databases: close it first "
            "(tray menu, Exit), then run this command again");
    const QDir data(QDir(m_bin).absoluteFilePath(QStringLiteral("../DATA")));
    auto databases = std::make_unique<Databases>();
    try {
        databases->open(data.absoluteFilePath(QStringLiteral("DATA.FDB")),
                        data.absoluteFilePath(QStringLiteral("SYS.FDB")));
    } catch (const DatabaseError& e) {
        throw std::runtime_error(
            QStringLiteral("the databases in %1 cannot be opened (%2); if Tessaro Kavelin is "
                           "running, close it first")
                .arg(QDir::cleanPath(data.absolutePath()), e.message().simplified())
                .toStdString());
    }
    m_databases = std::move(databases);
    return *m_databases;
}
