// Fuzz target: bytes as the first volume of an update archive, listed and unpacked as the
// installer does. Whatever the archive says, nothing may appear outside the folder "file" of the
// extraction folder and no link may be made. Files are limited to 16 MB (a larger one fails to
// write), so an archive that unpacks into gigabytes cannot fill the disk while fuzzing.
#include "online/UpdateArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

QTemporaryDir* g_work = nullptr;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "update archive: %s\n", qPrintable(what));
    std::abort();
}

// Walks the whole work folder, not only the extraction folder, so a path that climbs out of it
// is seen too (the extraction folder sits two levels down for that).
void checkExtracted(const QString& root, const QString& base) {
    const QString allowed = base + QStringLiteral("/file");
    const QStringList around = {root + QStringLiteral("/parts"),
                                root + QStringLiteral("/parts/file.zup.001"),
                                root + QStringLiteral("/x"), root + QStringLiteral("/x/y"), base};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).isSymLink())
            fail(path + QStringLiteral(": a link was made"));
        if (!around.contains(path) && path != allowed && !path.startsWith(allowed + u'/'))
            fail(path + QStringLiteral(": written outside the update folder"));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static QTemporaryDir work;
    g_work = &work;
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16 << 20, 16 << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!g_work) // replayed without the initialiser
        LLVMFuzzerInitialize(nullptr, nullptr);
    const QString parts = g_work->filePath(QStringLiteral("parts"));
    const QString out = g_work->filePath(QStringLiteral("x/y/out"));
    QDir(parts).removeRecursively();
    QDir(g_work->filePath(QStringLiteral("x"))).removeRecursively();
    QDir().mkpath(parts);
    QDir().mkpath(out);
    QFile volume(parts + QStringLiteral("/file.zup.001"));
    if (!volume.open(QIODevice::WriteOnly) ||
        volume.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        fail(QStringLiteral("cannot write the volume"));
    volume.close();
    UpdateArchive archive(volume.fileName());
    const UpdateArchive::Result result = archive.extract(out);
    if (result != UpdateArchive::Result::Extracted && archive.error().isEmpty())
        fail(QStringLiteral("a failed extraction that gives no reason"));
    checkExtracted(g_work->path(), out);
    return 0;
}
