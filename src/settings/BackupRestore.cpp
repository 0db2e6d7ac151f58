#include "settings/BackupRestore.h"

#include "app/SettingsStore.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"

#include "data/FaultPoint.h"
#include "data/PrivateFiles.h"
#include "data/RestoreSwap.h"
#include "settings/BackupSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {
const QString SettingsName = QStringLiteral("settings.xml");
// Suffix of a backup file the service is still writing.
const QString PartSuffix = QStringLiteral(".part");
// The last words of a run that got to its end. A backup file cut short makes the restore stop
// early without an error, so a run counts only when its closing line came.
const QString BackupClosing = QStringLiteral("closing file, committing, and finishing");
const QString RestoreClosing = QStringLiteral("finishing, closing, and going home");

// Renames over an existing file in one step (the file system's own atomic replace).
bool renameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString absoluteDatabase(const Connection& connection) {
    return QFileInfo(connection.databaseName()).absoluteFilePath();
}

QString backupFileIn(const QString& folder, const QString& database) {
    return QDir(folder).absoluteFilePath(QFileInfo(database).completeBaseName() +
                                         BackupRestore::BackupExtension);
}

// Whether the bytes are a settings document the store reads; why not in `error`.
bool readsAsSettings(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be read").arg(path);
        return false;
    }
    SettingsStore probe{QString()};
    QString reason;
    if (!probe.fromXml(file.readAll(), &reason)) {
        *error = QStringLiteral("%1 is damaged: %2").arg(path, reason);
        return false;
    }
    return true;
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

bool BackupRestore::fail(const QString& why) {
    if (m_lastError.isEmpty())
        m_lastError = why;
    return false;
}

QStringList BackupRestore::databaseFiles() const {
    return {absoluteDatabase(m_db.MDB), absoluteDatabase(m_db.SYS_MDB)};
}

bool BackupRestore::backup(const QString& folder) {
    if (m_running)
        return false;
    Running running(m_running);
    m_lastError.clear();
    ProgressLines = 0;
    m_lastValue = 0;
    emit progress(0);
    BackupSet set(folder);
    if (!set.begin())
        return fail(QStringLiteral("The folder %1 could not be written").arg(set.staging()));
    bool ok = false;
    try {
        ok = writeBackup(set.staging()) && set.place();
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    }
    if (!ok) {
        set.discard();
        return fail(QStringLiteral("The backup could not be put in %1").arg(set.folder()));
    }
    emit progress(100);
    return true;
}

// The whole set into the staging folder: the settings as the user sees them, then both
// databases.
bool BackupRestore::writeBackup(const QString& staging) {
    if (m_writeSettings)
        m_writeSettings();
    m_settings.Flush();
    (m_pump ? m_pump : ServiceJob::Pump(&ServiceJob::processPendingEvents))();
    return writeSettingsInto(staging) && BackupDatabase(m_db.MDB, staging) &&
           BackupDatabase(m_db.SYS_MDB, staging);
}

// The set's settings file holds the store's tree, the bytes the store has just saved (or, for
// a read-only store, those it read).
bool BackupRestore::writeSettingsInto(const QString& folder) {
    if (PrivateFiles::write(QDir(folder).absoluteFilePath(SettingsName), m_settings.toXml()))
        return true;
    return fail(QStringLiteral("The settings file could not be written into %1").arg(folder));
}

// The service writes a part file that is renamed to its name only when it is complete.
bool BackupRestore::BackupDatabase(Connection& connection, const QString& folder) {
    const QString database = absoluteDatabase(connection);
    const QString target = backupFileIn(folder, database);
    const QString part = target + PartSuffix;
    if (!runJob(ServiceJob::Action::Backup, database, part))
        return false;
    FaultPoint::reach("backup:written");
    if (!PrivateFiles::restrict(part) || !renameOver(part, target)) {
        QFile::remove(part);
        return fail(QStringLiteral("The backup file %1 could not be written").arg(target));
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
        QFile::remove(written);
        return fail(e.message());
    }
    if (!closed || !QFileInfo(written).isFile()) {
        QFile::remove(written);
        return fail(QStringLiteral("The service did not finish writing %1").arg(written));
    }
    return true;
}

QString BackupRestore::checkSet(const QString& folder) const {
    for (const QString& database : databaseFiles()) {
        const QFileInfo backupFile(backupFileIn(folder, database));
        if (!backupFile.isFile() || backupFile.size() == 0)
            return QStringLiteral("%1 is missing").arg(backupFile.filePath());
    }
    const QString settings = QDir(folder).absoluteFilePath(SettingsName);
    QString error;
    if (QFileInfo::exists(settings) && !readsAsSettings(settings, &error))
        return error;
    return {};
}

QDateTime BackupRestore::setDate(const QString& folder) {
    QDateTime newest;
    for (const QString& name : BackupSet::SetFiles) {
        const QFileInfo file(QDir(folder).absoluteFilePath(name));
        if (file.isFile() && (!newest.isValid() || file.lastModified() > newest))
            newest = file.lastModified();
    }
    return newest;
}

bool BackupRestore::restore(const QString& folder) {
    if (m_running)
        return false;
    Running running(m_running);
    m_lastError.clear();
    m_safetyFolder.clear();
    ProgressLines = 0;
    m_lastValue = 0;
    emit progress(0);
    if (const QString why = checkSet(folder); !why.isEmpty())
        return fail(why);
    const bool withSettings = QFileInfo::exists(QDir(folder).absoluteFilePath(SettingsName));
    bool ok = false;
    try {
        ok = restoreAll(folder, withSettings) && putInPlace(withSettings);
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    }
    if (!ok) {
        dropRestoredFiles();
        reopen();
        return false;
    }
    emit progress(100);
    return true;
}

// The settings file is copied beside the live one and read back as the store reads it; each
// database is restored beside the live one and opened with the checks made at start.
bool BackupRestore::restoreAll(const QString& folder, bool withSettings) {
    if (withSettings && !stageSettings(folder))
        return false;
    for (auto [connection, tables] : {std::pair{&m_db.MDB, &Databases::DataTables},
                                      std::pair{&m_db.SYS_MDB, &Databases::SysTables}}) {
        const QString database = absoluteDatabase(*connection);
        const QString restored = RestoreSwap::restoringName(database);
        if (!runJob(ServiceJob::Action::Restore, restored, backupFileIn(folder, database)))
            return false;
        if (const QString why = Databases::unusable(restored, *tables); !why.isEmpty())
            return fail(QStringLiteral("%1 does not hold a database this program can use: %2")
                            .arg(backupFileIn(folder, database), why));
    }
    return true;
}

bool BackupRestore::stageSettings(const QString& folder) {
    const QString staged = RestoreSwap::restoringName(m_settings.FileName());
    QString error;
    if (!PrivateFiles::copy(QDir(folder).absoluteFilePath(SettingsName), staged))
        return fail(QStringLiteral("The settings file could not be copied to %1").arg(staged));
    if (!readsAsSettings(staged, &error))
        return fail(error);
    return true;
}

// The connections close (their transactions roll back), the current files move into a new
// safety folder, the restored files take their places, and the connections open again. From
// then on the store serves the restored settings and saves nothing, so the restored file
// survives the end of the program.
bool BackupRestore::putInPlace(bool withSettings) {
    RestoreSwap swap(databaseFiles(), m_settings.FileName());
    QString error;
    const QString safety = swap.prepareSafetyFolder(&error);
    if (safety.isEmpty())
        return fail(error);
    m_db.MDB.close();
    m_db.SYS_MDB.close();
    if (!swap.swap(safety, withSettings, &error)) {
        QDir(safety).removeRecursively();
        return fail(error);
    }
    reopen();
    if (withSettings) {
        m_settings.setReadOnly(true);
        m_settings.Reload();
    }
    m_safetyFolder = safety;
    swap.pruneSafetyFolders();
    emit dataRestored();
    return true;
}

void BackupRestore::dropRestoredFiles() {
    for (const QString& database : databaseFiles())
        QFile::remove(RestoreSwap::restoringName(database));
    QFile::remove(RestoreSwap::restoringName(m_settings.FileName()));
}

void BackupRestore::reopen() {
    for (Connection* connection : {&m_db.MDB, &m_db.SYS_MDB})
        if (!connection->isOpen())
            connection->open();
}
