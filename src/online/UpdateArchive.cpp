#include "online/UpdateArchive.h"

#include "app/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>
#include <vector>

namespace {
constexpr size_t BlockSize = 1 << 20;
// Files are written in pieces of this size, each a step of the progress.
constexpr size_t ChunkSize = 64 << 10;
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

// The total size of the files to unpack; also tells whether the archive opens at all.
bool UpdateArchive::listTotal(qint64& total) {
    Reader reader(volumes());
    if (reader.names.empty() || !reader.open()) {
        m_error = reader.names.empty() ? m_first + QStringLiteral(": missing") : reader.error();
        return false;
    }
    total = 0;
    archive_entry* entry = nullptr;
    int rc;
    while ((rc = archive_read_next_header(reader.handle, &entry)) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) == AE_IFREG)
            total += archive_entry_size(entry);
    }
    if (rc != ARCHIVE_EOF) {
        m_error = reader.error();
        return false;
    }
    return true;
}

UpdateArchive::Result UpdateArchive::extract(const QString& baseDir, const Progress& progress) {
    qint64 total = 0;
    if (!listTotal(total))
        return Result::CannotOpen;
    Reader reader(volumes());
    if (!reader.open()) {
        m_error = reader.error();
        return Result::CannotOpen;
    }
    qint64 done = 0;
    archive_entry* entry = nullptr;
    int rc;
    while ((rc = archive_read_next_header(reader.handle, &entry)) == ARCHIVE_OK) {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString path =
            utf8 ? QString::fromUtf8(utf8) : QFile::decodeName(archive_entry_pathname(entry));
        if (!isSafeEntryPath(path)) {
            m_error = path + QStringLiteral(": not a path inside the update folder");
            return Result::Failed;
        }
        const QString target = baseDir + u'/' + path;
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR) {
            if (!QDir().mkpath(target)) {
                m_error = target + QStringLiteral(": cannot create the folder");
                return Result::Failed;
            }
        } else if (type == AE_IFREG) {
            if (!writeEntry(reader, target, archive_entry_perm(entry), done, total, progress))
                return Result::Failed;
        }
        // Links and devices have no place in an update and are passed over.
    }
    if (rc != ARCHIVE_EOF) {
        m_error = reader.error();
        return Result::Failed;
    }
    if (progress)
        progress(total, total);
    return Result::Extracted;
}

bool UpdateArchive::writeEntry(Reader& reader, const QString& target, int perm, qint64& done,
                               qint64 total, const Progress& progress) {
    if (QFileInfo(target).isDir() || !QDir().mkpath(QFileInfo(target).absolutePath())) {
        m_error = target + QStringLiteral(": cannot be written");
        return false;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = target + QStringLiteral(": ") + out.errorString();
        return false;
    }
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const la_ssize_t n = archive_read_data(reader.handle, buffer.data(), ChunkSize);
        if (n < 0) {
            m_error = target + QStringLiteral(": ") + reader.error();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n) {
            m_error = target + QStringLiteral(": ") + out.errorString();
            return false;
        }
        done += n;
        if (progress)
            progress(done, total);
    }
    if (!out.flush()) {
        m_error = target + QStringLiteral(": ") + out.errorString();
        return false;
    }
    // Archives made on this system carry the files' modes; others get the default ones.
    if (perm & 0700) {
        out.setPermissions(QFile::Permissions(((perm & 0700) >> 6) * 0x1100 |
                                              ((perm & 0070) >> 3) * 0x10 | (perm & 0007)));
    }
    return true;
}
