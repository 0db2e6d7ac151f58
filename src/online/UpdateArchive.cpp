#include "online/UpdateArchive.h"

#include "app/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <archive.h>
#include <archive_entry.h>
#include <vector>

namespace {
constexpr size_t BlockSize = 1 << 20;
// Files are written in pieces of this size, each a step of the progress.
constexpr size_t ChunkSize = 64 << 10;
// The free space is looked at again after this many bytes written.
constexpr qint64 CheckEvery = 16 << 20;

UpdateArchive::FreeSpace& freeSpaceProbe() {
    static UpdateArchive::FreeSpace probe;
    return probe;
}
} // namespace

// One pass over the volumes with libarchive.
struct UpdateArchive::Reader {
    explicit Reader(const QStringList& volumes) : handle(archive_read_new()) {
        for (const QString& v : volumes)
            names.push_back(QFile::encodeName(v));
        for (QByteArray& n : names)
            pointers.push_back(n.data());
        pointers.push_back(nullptr);
        archive_read_support_format_7zip(handle);
    }
    ~Reader() { archive_read_free(handle); }
    bool open() {
        return archive_read_open_filenames(handle, const_cast<const char**>(pointers.data()),
                                           BlockSize) == ARCHIVE_OK;
    }
    QString error() const {
        const char* text = archive_error_string(handle);
        return text ? QString::fromLocal8Bit(text) : QStringLiteral("archive error");
    }

    archive* handle;
    std::vector<QByteArray> names;
    std::vector<char*> pointers;
};

UpdateArchive::UpdateArchive(const QString& firstVolume) : m_first(firstVolume) {}

QStringList UpdateArchive::volumes() const {
    QStringList found;
    QString stem = m_first;
    stem.chop(3);
    for (int n = 1; QFileInfo::exists(stem + PadLeft(QString::number(n), 3, u'0')); ++n)
        found << stem + PadLeft(QString::number(n), 3, u'0');
    return found;
}

bool UpdateArchive::isSafeEntryPath(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/') || path.contains(u'\\'))
        return false;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.first() != QLatin1String("file"))
        return false;
    for (const QString& part : parts)
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    return true;
}

// The total size of the files to unpack; also tells whether the archive opens at all. An
// archive whose listing breaks off after its first entry still opened: extraction unpacks
// what it can of it.
bool UpdateArchive::listTotal(qint64& total) {
    Reader reader(volumes());
    if (reader.names.empty() || !reader.open()) {
        m_error = reader.names.empty() ? m_first + QStringLiteral(": missing") : reader.error();
        return false;
    }
    total = 0;
    archive_entry* entry = nullptr;
    int rc;
    int listed = 0;
    while ((rc = archive_read_next_header(reader.handle, &entry)) != ARCHIVE_EOF &&
           rc != ARCHIVE_FATAL) {
        ++listed;
        if (rc != ARCHIVE_FAILED && archive_entry_filetype(entry) == AE_IFREG)
            total += archive_entry_size(entry);
    }
    if (rc == ARCHIVE_FATAL && listed == 0) {
        m_error = reader.error();
        return false;
    }
    return true;
}

UpdateArchive::Result UpdateArchive::extract(const QString& baseDir, const Progress& progress) {
    m_skipped.clear();
    qint64 total = 0;
    if (!listTotal(total))
        return Result::CannotOpen;
    m_declared = total;
    if (!roomLeft(baseDir, total))
        return Result::NoRoom;
    Reader reader(volumes());
    if (!reader.open()) {
        m_error = reader.error();
        return Result::CannotOpen;
    }
    qint64 done = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int rc = archive_read_next_header(reader.handle, &entry);
        if (rc == ARCHIVE_EOF)
            break;
        if (rc == ARCHIVE_FATAL) {
            // The rest of the archive cannot be read; what was unpacked stays.
            skip(QStringLiteral("entries after the last one unpacked"), reader.error());
            break;
        }
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString path =
            utf8 ? QString::fromUtf8(utf8) : QFile::decodeName(archive_entry_pathname(entry));
        if (rc == ARCHIVE_FAILED) {
            skip(path, reader.error());
            continue;
        }
        const auto type = archive_entry_filetype(entry);
        // "file" itself can only be the update's folder.
        if (!isSafeEntryPath(path) || (type != AE_IFDIR && !path.contains(u'/'))) {
            skip(path, QStringLiteral("not a path inside the update folder"));
            continue;
        }
        const QString target = baseDir + u'/' + path;
        // Two entries of the same name, one a folder: the second is not unpacked.
        if (const QFileInfo met(target); met.exists() && met.isDir() != (type == AE_IFDIR)) {
            skip(path, QStringLiteral("another entry of that name is in the way"));
            continue;
        }
        if (type == AE_IFDIR) {
            if (!QDir().mkpath(target)) {
                m_error = target + QStringLiteral(": cannot create the folder");
                return Result::Failed;
            }
        } else if (type == AE_IFREG) {
            switch (writeEntry(reader, target, archive_entry_perm(entry), done, total, progress)) {
            case EntryResult::Written:
                break;
            case EntryResult::Damaged:
                skip(path, m_entryError);
                break;
            case EntryResult::WriteFailed:
                return Result::Failed;
            }
        } else {
            // Links and devices have no place in an update.
            skip(path, QStringLiteral("not a plain file or folder"));
        }
    }
    if (progress)
        progress(total, total);
    return Result::Extracted;
}

void UpdateArchive::skip(const QString& path, const QString& reason) {
    m_skipped << path + QStringLiteral(": ") + reason;
}

void UpdateArchive::setFreeSpaceProbe(FreeSpace probe) {
    freeSpaceProbe() = std::move(probe);
}

qint64 UpdateArchive::freeSpace(const QString& dir) {
    if (freeSpaceProbe())
        return freeSpaceProbe()(dir);
    QStorageInfo storage(dir);
    storage.refresh();
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

// Whether `needed` more bytes fit in `dir` with the reserve left over.
bool UpdateArchive::roomLeft(const QString& dir, qint64 needed) {
    const qint64 free = freeSpace(dir);
    if (free < 0 || free - ReservedBytes >= needed)
        return true;
    m_error = QStringLiteral("Not enough free disk space in %1 for the update: %2 MB to unpack, "
                             "%3 MB kept free, %4 MB free")
                  .arg(QDir::toNativeSeparators(QDir(dir).absolutePath()))
                  .arg((needed + (1 << 20) - 1) >> 20)
                  .arg(ReservedBytes >> 20)
                  .arg(free >> 20);
    return false;
}

UpdateArchive::EntryResult UpdateArchive::writeEntry(Reader& reader, const QString& target,
                                                     int perm, qint64& done, qint64 total,
                                                     const Progress& progress) {
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        m_entryError = QStringLiteral("its folder cannot be made (another entry in the way)");
        return EntryResult::Damaged;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = target + QStringLiteral(": ") + out.errorString();
        return EntryResult::WriteFailed;
    }
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    qint64 sinceCheck = 0;
    for (;;) {
        const la_ssize_t n = archive_read_data(reader.handle, buffer.data(), ChunkSize);
        if (n < 0) {
            // A damaged entry (a bad checksum, undecodable data) is not kept half right.
            m_entryError = reader.error();
            out.close();
            QFile::remove(target);
            return EntryResult::Damaged;
        }
        if (n == 0)
            break;
        // The declared sizes were checked before; the disk may still fill from elsewhere.
        sinceCheck += n;
        if (sinceCheck >= CheckEvery) {
            sinceCheck = 0;
            if (!roomLeft(QFileInfo(target).absolutePath(), total - done))
                return EntryResult::WriteFailed;
        }
        if (out.write(buffer.constData(), n) != n) {
            m_error = target + QStringLiteral(": ") + out.errorString();
            return EntryResult::WriteFailed;
        }
        done += n;
        if (progress)
            progress(done, total);
    }
    if (!out.flush()) {
        m_error = target + QStringLiteral(": ") + out.errorString();
        return EntryResult::WriteFailed;
    }
    // Archives made on this system carry the files' modes; others get the default ones.
    if (perm & 0700) {
        out.setPermissions(QFile::Permissions(((perm & 0700) >> 6) * 0x1100 |
                                              ((perm & 0070) >> 3) * 0x10 | (perm & 0007)));
    }
    return EntryResult::Written;
}
