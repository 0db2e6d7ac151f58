#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// The downloaded update: one 7z archive split into the volumes file.zup.001, .002, ... read
// as one stream. Only entries below "file/" are unpacked, only plain files and folders, and
// never a path that leaves the extraction folder. An entry that cannot be unpacked (outside
// "file/", damaged) is passed over and named in skipped(); the others are still unpacked.
class UpdateArchive {
public:
    // Failed: the extraction itself could not write (a full disk, a folder in the way);
    // NoRoom: the files the archive declares would not fit beside the reserve.
    enum class Result { Extracted, CannotOpen, Failed, NoRoom };
    // Called with the bytes written so far and the total of all files.
    using Progress = std::function<void(qint64 done, qint64 total)>;
    // The bytes free for a new file in a folder.
    using FreeSpace = std::function<qint64(const QString& dir)>;
    // Space left free on the disk by every extraction: the engine's lock files and the
    // databases grow there.
    static constexpr qint64 ReservedBytes = qint64(100) << 20;

    // `firstVolume` is the path of file.zup.001; the following volumes are found beside it.
    explicit UpdateArchive(const QString& firstVolume);

    // The volumes present, in order, up to the first missing number.
    QStringList volumes() const;
    // Unpacks into `baseDir`, replacing files met there.
    Result extract(const QString& baseDir, const Progress& progress = {});
    QString error() const { return m_error; }
    // "path: reason" for each entry passed over by the last extraction.
    QStringList skipped() const { return m_skipped; }
    // The size of the files the archive declares, once it was opened.
    qint64 declaredSize() const { return m_declared; }

    // Replaces the free-space probe (tests stand in for a nearly full disk); an empty
    // function restores the real one.
    static void setFreeSpaceProbe(FreeSpace probe);
    static qint64 freeSpace(const QString& dir);

    // An entry's path is safe to unpack when it is relative, stays below "file/" and has no
    // "." or ".." part.
    static bool isSafeEntryPath(const QString& path);

private:
    struct Reader;
    bool listTotal(qint64& total);
    enum class EntryResult { Written, Damaged, WriteFailed };
    EntryResult writeEntry(Reader& reader, const QString& target, int perm, qint64& done,
                           qint64 total, const Progress& progress);
    bool roomLeft(const QString& dir, qint64 needed);
    void skip(const QString& path, const QString& reason);

    QString m_first;
    QString m_error;
    QStringList m_skipped;
    QString m_entryError;
    qint64 m_declared = 0;
};
