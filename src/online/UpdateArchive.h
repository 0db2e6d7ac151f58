#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// The downloaded update: one 7z archive split into the volumes file.zup.001, .002, ... read
// as one stream. Only entries below "file/" are unpacked, only plain files and folders, and
// never a path that leaves the extraction folder.
class UpdateArchive {
public:
    enum class Result { Extracted, CannotOpen, Failed };
    // Called with the bytes written so far and the total of all files.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // `firstVolume` is the path of file.zup.001; the following volumes are found beside it.
    explicit UpdateArchive(const QString& firstVolume);

    // The volumes present, in order, up to the first missing number.
    QStringList volumes() const;
    // Unpacks into `baseDir`, replacing files met there.
    Result extract(const QString& baseDir, const Progress& progress = {});
    QString error() const { return m_error; }

    // An entry's path is safe to unpack when it is relative, stays below "file/" and has no
    // "." or ".." part.
    static bool isSafeEntryPath(const QString& path);

private:
    struct Reader;
    bool listTotal(qint64& total);
    bool writeEntry(Reader& reader, const QString& target, int perm, qint64& done, qint64 total,
                    const Progress& progress);

    QString m_first;
    QString m_error;
};
