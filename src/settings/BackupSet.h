#pragma once

#include <QString>
#include <QStringList>

// One backup folder written as a whole: the new set is made in a folder of its own beside the
// backup folder and exchanged with it in one rename, so the folder holds the old set or the
// new one, never a mix (a full disk or a crash midway leaves the old set). Other files the
// user keeps in the backup folder move with the set.
class BackupSet {
public:
    // The files a set consists of.
    static const QStringList SetFiles;

    explicit BackupSet(const QString& folder);

    QString folder() const { return m_folder; }
    // Where the new set is written until it is complete.
    QString staging() const;

    // Clears what an earlier run that ended abruptly left beside or in the folder, and makes a
    // fresh, empty staging folder. Answers false when it cannot be made.
    bool begin();
    // Puts the complete staging folder in place of the backup folder. Answers false (and the
    // backup folder is as before) when that fails.
    bool place();
    // Gives up the new set: the staging folder goes, the backup folder stays as it was.
    void discard();

private:
    QString sibling(const QString& suffix) const;
    void clearLeftovers();
    bool keepOtherFiles(const QString& from, const QString& to) const;

    QString m_folder;
};
