#include "data/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// A new file beside the target (mkstemp makes it 0600), filled by `fill`, flushed to the disk
// and renamed over the target; removed again on any failure.
template <typename Fill> bool replaceWith(const QString& path, Fill fill) {
    QByteArray name = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, PrivateFiles::FileMode) == 0 && fill(fd) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(name.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok)
        ::unlink(name.constData());
    return ok;
}
} // namespace

bool PrivateFiles::makeFolder(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(clean).isDir())
        return true;
    if (!makeFolder(QFileInfo(clean).absolutePath()))
        return false;
    const QByteArray name = QFile::encodeName(clean);
    if (::mkdir(name.constData(), FolderMode) != 0)
        return errno == EEXIST && QFileInfo(clean).isDir();
    return ::chmod(name.constData(), FolderMode) == 0;
}

bool PrivateFiles::write(const QString& path, const QByteArray& bytes) {
    return replaceWith(path,
                       [&bytes](int fd) { return writeAll(fd, bytes.constData(), bytes.size()); });
}

bool PrivateFiles::copy(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    return replaceWith(to, [&source](int fd) {
        while (!source.atEnd()) {
            const QByteArray chunk = source.read(1 << 16);
            if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
                return false;
            if (!writeAll(fd, chunk.constData(), chunk.size()))
                return false;
        }
        return true;
    });
}

bool PrivateFiles::restrict(const QString& path) {
    const QFileInfo info(path);
    return ::chmod(QFile::encodeName(path).constData(), info.isDir() ? FolderMode : FileMode) == 0;
}
