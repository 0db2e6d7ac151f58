#pragma once

#include "data/ServiceJob.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class Connection;
class Databases;
class SettingsStore;

// The backup and restore runs of the settings page: both databases through the engine's
// services manager and the settings file, into or out of one folder, with one count of
// progress lines shared by the two databases of a run.
class BackupRestore : public QObject {
    Q_OBJECT
public:
    static constexpr int BackupLineTotal = 56;
    static constexpr int RestoreLineTotal = 75;
    static inline const QString DefaultFolderName = QStringLiteral("TessaroBackup");
    static inline const QString BackupExtension = QStringLiteral(".fbk");

    BackupRestore(Databases& databases, SettingsStore& settings, QObject* parent = nullptr);

    // The folder a chosen folder's backups go into: the chosen folder without its trailing
    // '/' followed by "/TessaroBackup".
    static QString backupFolderFor(const QString& chosen);
    // Where the folder browser starts for a backup folder: its parent (with the trailing '/')
    // when the last name is "TessaroBackup" in any case, else the folder itself.
    static QString BackupBrowseStart(const QString& path);
    // Bar position for a count of progress lines: lines x 100 / total, halves to even.
    static int percent(int lines, int total);
    // Verbose lines that count: "gbak:writing" / "gbak: writing" and the same for restoring.
    static bool isBackupProgressLine(const QString& line);
    static bool isRestoreProgressLine(const QString& line);

    // Backs up the settings file and both databases into the folder (created when missing).
    // The set is written as a whole: the folder holds the old set or the new one.
    bool backup(const QString& folder);
    // Restores both databases and the settings file (when the folder has one) from the folder.
    // Every file is restored and checked first; only then are the current files moved into a
    // safety folder and the restored ones put in their place. A failure changes nothing.
    bool restore(const QString& folder);

    // Why the folder is not a set a restore can use (a backup file missing, a settings file the
    // store cannot read), or an empty text. Changes nothing.
    QString checkSet(const QString& folder) const;
    // When the set in the folder was made: the time of its newest file.
    static QDateTime setDate(const QString& folder);
    // Where the last restore put the files it replaced.
    QString safetyFolder() const { return m_safetyFolder; }
    // Runs before a backup copies the settings: the pages write what they show into the store.
    void setWriteSettings(std::function<void()> write) { m_writeSettings = std::move(write); }

    // One database of a run; each answers success.
    bool BackupDatabase(Connection& connection, const QString& folder);
    bool RestoreDatabase(Connection& connection, const QString& folder);

    // Runs while a service works, instead of the default event processing (tests, benchmarks).
    void setPump(ServiceJob::Pump pump) { m_pump = std::move(pump); }
    bool running() const { return m_running; }
    // The text of the last failure, for the log.
    QString lastError() const { return m_lastError; }

    int ProgressLines = 0;

signals:
    // The bar of the run in progress moves to this value (0..100).
    void progress(int value);
    // Both databases were replaced by restored ones: pages listing their rows set up afresh.
    void dataRestored();

private:
    bool writeBackup(const QString& staging);
    bool writeSettingsInto(const QString& folder);
    bool stageSettings(const QString& folder);
    bool restoreAll(const QString& folder, bool withSettings);
    bool putInPlace(bool withSettings);
    void dropRestoredFiles();
    void reopen();
    bool fail(const QString& why);
    void countLine(bool counts, int total);
    bool runJob(ServiceJob::Action action, const QString& database, const QString& backupFile);
    QStringList databaseFiles() const;

    Databases& m_db;
    SettingsStore& m_settings;
    ServiceJob::Pump m_pump;
    bool m_running = false;
    int m_lastValue = -1;
    QString m_lastError;
    QString m_safetyFolder;
    std::function<void()> m_writeSettings;
};
