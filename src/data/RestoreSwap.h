#pragma once

#include <QString>
#include <QStringList>

// Puts restored databases and a restored settings file in place of the current ones as one
// recoverable step. The current files are moved into a safety folder
// DATA/before-restore/<date-time>/ (the newest three kept), and a journal beside the databases
// says, until the last file is in place, that the swap has begun. A start after a crash calls
// recover(): a begun swap is completed, anything else a restore left behind is removed, and a
// database an earlier build left only as `<name>.previous` is put back.
class RestoreSwap {
public:
    static inline const QString RestoringSuffix = QStringLiteral(".restoring");
    static inline const QString PreviousSuffix = QStringLiteral(".previous");
    static inline const QString JournalName = QStringLiteral("restore.swap");
    static inline const QString SafetyFolderName = QStringLiteral("before-restore");
    static constexpr int SafetyCopiesKept = 3;

    // `databases` are the database files (full paths, all in one folder); `settingsFile` the
    // live settings file.
    RestoreSwap(QStringList databases, QString settingsFile);

    // Where a restored database or settings file waits until the swap.
    static QString restoringName(const QString& file) { return file + RestoringSuffix; }

    // Makes a new safety folder and copies the live settings file into it (when there is one).
    // Answers the folder, or an empty text (and why, in `error`) when it could not be made.
    QString prepareSafetyFolder(QString* error);
    // Moves every database and, with `withSettings`, the settings file into the safety folder
    // and their restored files in their place. Answers false when a file could not be moved;
    // everything is then as before.
    bool swap(const QString& safetyFolder, bool withSettings, QString* error);

    // At start, before anything opens the files: finishes or clears what a run that ended
    // abruptly left. Answers the lines to tell the user (one per thing done), empty when there
    // was nothing to do.
    QStringList recover();
    // Removes the oldest safety folders beyond the number kept.
    void pruneSafetyFolders() const;

    QString dataFolder() const;
    QString journalPath() const;

private:
    bool writeJournal(const QString& safetyFolder, bool withSettings) const;
    bool readJournal(QString* safetyFolder, bool* withSettings) const;
    bool moveIn(const QString& live, const QString& safetyFolder, QStringList& done,
                QString* error) const;
    void moveBack(const QStringList& done, const QString& safetyFolder) const;
    QStringList completeJournal();
    QStringList clearLeftovers();

    QStringList m_databases;
    QString m_settingsFile;
};
