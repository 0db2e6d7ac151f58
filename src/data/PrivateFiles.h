#pragma once

#include <QByteArray>
#include <QString>

// Files and folders that hold the user's own data (backups, settings, reports, replies): made
// readable by the user alone (files 0600, folders 0700) whatever the umask, and written through
// a new file renamed into place, so a reader sees the old file or the complete new one.
class PrivateFiles {
public:
    static constexpr unsigned FileMode = 0600;
    static constexpr unsigned FolderMode = 0700;

    // Makes the folder and any missing parents; the folders made here get FolderMode.
    static bool makeFolder(const QString& path);
    // Writes the bytes as the whole new content of the file.
    static bool write(const QString& path, const QByteArray& bytes);
    // Copies a file's content over the target.
    static bool copy(const QString& from, const QString& to);
    // Gives an existing file FileMode (a folder FolderMode).
    static bool restrict(const QString& path);
};
