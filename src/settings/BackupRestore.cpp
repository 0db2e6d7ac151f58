#include "settings/BackupRestore.h"

#include "app/SettingsStore.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace {
const QString SettingsName = QStringLiteral("settings.xml");
// Suffixes of the files a run writes before it puts them in place.
const QString PartSuffix = QStringLiteral(".part");
const QString RestoringSuffix = QStringLiteral(".restoring");
const QString PreviousSuffix = QStringLiteral(".previous");
// The last words of a run that got to its end. A backup file cut short makes the restore stop
// early without an error, so a run counts only when its closing line came.
const QString BackupClosing = QStringLiteral("closing file, committing, and finishing");
const QString RestoreClosing = QStringLiteral("finishing, closing, and going home");

// Renames over an existing file in one step (the file system's own atomic replace).
bool renameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Copies a file through a temporary file beside the target, so the target is either the old
// file or a complete copy, never a part.
bool copyOver(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return false;
        if (target.write(chunk) != chunk.size())
            return false;
    }
    return target.commit();
}

QString absoluteDatabase(const Connection& connection) {
    return QFileInfo(connection.databaseName()).absoluteFilePath();
}

QString backupFileIn(const QString& folder, const QString& database) {
    return QDir(folder).absoluteFilePath(QFileInfo(database).completeBaseName() +
                                         BackupRestore::BackupExtension);
}

// Marks a run in progress for the life of the object.
class Running {
public:
    explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Running() { m_flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    bool& m_flag;
};
} // namespace

BackupRestore::BackupRestore(Databases& databases, SettingsStore& settings, QObject* parent)
    : QObject(parent), m_db(databases), m_settings(settings) {}

QString BackupRestore::backupFolderFor(const QString& chosen) {
    QString folder = chosen;
    while (folder.endsWith(u'/'))
        folder.chop(1);
    return folder + u'/' + DefaultFolderName;
}

QString BackupRestore::BackupBrowseStart(const QString& path) {
    QString folder = path;
    while (folder.endsWith(u'/') && folder.size() > 1)
        folder.chop(1);
    const int slash = folder.lastIndexOf(u'/');
    if (slash >= 0 && folder.mid(slash + 1).compare(DefaultFolderName, Qt::CaseInsensitive) == 0)
        return folder.left(slash + 1);
    return path;
}

int BackupRestore::percent(int lines, int total) {
    if (total <= 0)
        return 0;
    const qint64 scaled = qint64(lines) * 100;
    qint64 value = scaled / total;
    const qint64 rest = scaled % total;
    if (2 * rest > total || (2 * rest == total && value % 2 != 0))
        ++value;
    return int(value);
}

bool BackupRestore::isBackupProgressLine(const QString& line) {
    return line.startsWith(QLatin1String("gbak:writing")) ||
           line.startsWith(QLatin1String("gbak: writing"));
}

bool BackupRestore::isRestoreProgressLine(const QString& line) {
    return line.startsWith(QLatin1String("gbak:restoring")) ||
           line.startsWith(QLatin1String("gbak: restoring"));
}

void BackupRestore::countLine(bool counts, int total) {
    if (counts)
        ++ProgressLines;
    const int value = percent(ProgressLines, total);
    // The bar stays at its last value once more lines arrive than a run is expected to print.
    if (value <= 100 && value != m_lastValue) {
        m_lastValue = value;
        emit progress(value);
    }
}

bool BackupRestore::backup(const QString& folder) {
    if (m_running)
        return false;
    Running running(m_running);
    m_lastError.clear();
    QDir().mkpath(folder);
    ProgressLines = 0;
    m_lastValue = 0;
    emit progress(0);
    try {
        m_settings.Flush();
        (m_pump ? m_pump : ServiceJob::Pump(&ServiceJob::processPendingEvents))();
        if (!copySettingsInto(folder))
            return false;
        if (!BackupDatabase(m_db.MDB, folder) || !BackupDatabase(m_db.SYS_MDB, folder))
            return false;
    } catch (const std::exception& e) {
        m_lastError = QString::fromLocal8Bit(e.what());
        return false;
    }
    emit progress(100);
    return true;
}

bool BackupRestore::copySettingsInto(const QString& folder) {
    if (copyOver(m_settings.FileName(), QDir(folder).absoluteFilePath(SettingsName)))
        return true;
    m_lastError = QStringLiteral("The settings file could not be copied into %1").arg(folder);
    return false;
}

// The service writes a part file that replaces the old backup only when it is complete, so a
// run that fails (a full disk, a folder that cannot be written) never spoils the last backup.
bool BackupRestore::BackupDatabase(Connection& connection, const QString& folder) {
    const QString database = absoluteDatabase(connection);
    const QString target = backupFileIn(folder, database);
    const QString part = target + PartSuffix;
    if (!runJob(ServiceJob::Action::Backup, database, part))
        return false;
    if (!renameOver(part, target)) {
        m_lastError = QStringLiteral("The backup file %1 could not be written").arg(target);
        QFile::remove(part);
        return false;
    }
    return true;
}

// Runs one service job and counts its progress lines. Answers true when the service printed its
// closing line and left the file it writes (the backup file, or the restored database);
// otherwise that file is removed and the error kept.
bool BackupRestore::runJob(ServiceJob::Action action, const QString& database,
                           const QString& backupFile) {
    const bool backup = action == ServiceJob::Action::Backup;
    const QString& written = backup ? backupFile : database;
    const QString& closing = backup ? BackupClosing : RestoreClosing;
    QFile::remove(written);
    bool closed = false;
    try {
        ServiceJob(action, database, backupFile)
            .run(
                [this, &closed, &closing, backup](const QString& line) {
                    closed = closed || line.contains(closing);
                    countLine(backup ? isBackupProgressLine(line) : isRestoreProgressLine(line),
                              backup ? BackupLineTotal : RestoreLineTotal);
                },
                m_pump);
    } catch (const DatabaseError& e) {
        m_lastError = e.message();
        QFile::remove(written);
        return false;
    }
    if (!closed || !QFileInfo(written).isFile()) {
        m_lastError = QStringLiteral("The service did not finish writing %1").arg(written);
        QFile::remove(written);
        return false;
    }
    return true;
}

bool BackupRestore::restore(const QString& folder) {
    if (m_running)
        return false;
    Running running(m_running);
    m_lastError.clear();
    ProgressLines = 0;
    m_lastValue = 0;
    emit progress(0);
    try {
        restoreSettingsFrom(folder);
        if (!RestoreDatabase(m_db.MDB, folder) || !RestoreDatabase(m_db.SYS_MDB, folder))
            return false;
    } catch (const std::exception& e) {
        m_lastError = QString::fromLocal8Bit(e.what());
        return false;
    }
    emit progress(100);
    return true;
}

// From here on the store serves the restored values and saves nothing, so the restored file
// survives the end of the program.
void BackupRestore::restoreSettingsFrom(const QString& folder) {
    const QString saved = QDir(folder).absoluteFilePath(SettingsName);
    if (!QFileInfo(saved).isFile())
        return;
    m_settings.setReadOnly(true);
    copyOver(saved, m_settings.FileName());
    m_settings.Reload();
}

// The backup is restored into a file beside the database; only a complete restore is moved
// over it, so a bad backup set never costs the current data or the connection.
bool BackupRestore::RestoreDatabase(Connection& connection, const QString& folder) {
    const QString database = absoluteDatabase(connection);
    const QString source = backupFileIn(folder, database);
    if (!QFileInfo(source).isFile()) {
        m_lastError = QStringLiteral("%1 is missing").arg(source);
        return false;
    }
    const QString restored = database + RestoringSuffix;
    if (!runJob(ServiceJob::Action::Restore, restored, source))
        return false;
    return swapIn(connection, restored);
}

// Closes the connection (its transaction is rolled back), moves the restored file over the
// database and opens the connection again. The old file is kept aside until the restored one
// has opened, and put back when it does not.
bool BackupRestore::swapIn(Connection& connection, const QString& restored) {
    const QString database = absoluteDatabase(connection);
    const QString previous = database + PreviousSuffix;
    const bool isData = &connection == &m_db.MDB;
    connection.close();
    QFile::remove(previous);
    bool replaced = false;
    if (renameOver(database, previous)) {
        replaced = renameOver(restored, database);
        if (!replaced)
            renameOver(previous, database);
    }
    if (replaced) {
        try {
            connection.open();
        } catch (const DatabaseError& e) {
            m_lastError = e.message();
            replaced = false;
            QFile::remove(database);
            renameOver(previous, database);
        }
    }
    if (!replaced) {
        QFile::remove(restored);
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("%1 could not be replaced").arg(database);
        connection.open();
        return false;
    }
    QFile::remove(previous);
    if (isData)
        emit dataRestored();
    return true;
}
