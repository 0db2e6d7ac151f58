// Installing an update of 60 MB in 6 volumes: the time from the start of extraction to the
// recorded state 3, beside `7z x` of the same volumes. Runs once (the machine may be shared).
#include "../../tools/updateset/UpdateSetBuilder.h"
#include "../../tools/updateset/UpdateSigner.h"
#include "data/DatabaseBuilder.h"
#include "data/Databases.h"
#include "online/ServiceClient.h"
#include "online/UpdateInstaller.h"
#include "online/UpdateQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {
constexpr int FileCount = 6;
constexpr int FileSize = 10 * 1000 * 1000;

// Files that do not compress, so the archive keeps the update's 60 MB.
bool writeSource(const QString& dir) {
    QRandomGenerator gen(42);
    for (int i = 0; i < FileCount; ++i) {
        QByteArray bytes(FileSize, Qt::Uninitialized);
        gen.fillRange(reinterpret_cast<quint32*>(bytes.data()), FileSize / 4);
        QDir().mkpath(dir + QStringLiteral("/bin"));
        QFile f(dir + QStringLiteral("/bin/part%1.bin").arg(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return false;
    }
    QFile script(dir + QStringLiteral("/sys_100.sql"));
    return script.open(QIODevice::WriteOnly) &&
           script.write("UPDATE HVX SET COM='101' WHERE ID=1;\n") > 0;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The queue, fingerprint and signature as the update check would have stored them.
void storeChecked(Databases& db, const QString& updateDir) {
    QStringList lines = ServiceClient::Lines(contents(updateDir + QStringLiteral("/parts.txt")));
    lines.removeAll(QString());
    const QString fingerprint =
        QString::fromLatin1(contents(updateDir + QStringLiteral("/fingerprint.txt")).trimmed());
    const QString signature =
        QString::fromLatin1(contents(updateDir + QStringLiteral("/file.sig")).trimmed());
    UpdateQueue(db.SYS_MM, QString())
        .acceptPartList(UpdateQueue::parsePartList(lines).value_or(QList<UpdatePart>()),
                        fingerprint, signature);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString root = work.path();
    for (const char* sub : {"bin", "DATA", "temp", "source"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    if (!writeSource(root + QStringLiteral("/source")))
        return 1;
    UpdateSigner signer;
    if (!signer.loadKey(QStringLiteral(TK_SOURCE_DIR "/keys/development-update.key")))
        return 1;
    UpdateSetBuilder builder(root + QStringLiteral("/source"), root + QStringLiteral("/update"),
                             signer, QStringLiteral("10500k"));
    if (!builder.build()) {
        std::fprintf(stderr, "bench_update: %s\n", qPrintable(builder.error()));
        return 1;
    }
    QDir update(root + QStringLiteral("/update"));
    for (const QString& part : update.entryList({QStringLiteral("file.zup.*")}))
        QFile::copy(update.filePath(part), root + QStringLiteral("/temp/") + part);

    DatabaseBuilder::create(root + QStringLiteral("/DATA/DATA.FDB"),
                            QStringLiteral(TK_SOURCE_DIR "/schema/DATA.sql"));
    DatabaseBuilder::create(root + QStringLiteral("/DATA/SYS.FDB"),
                            QStringLiteral(TK_SOURCE_DIR "/schema/SYS.sql"));
    Databases db;
    db.open(root + QStringLiteral("/DATA/DATA.FDB"), root + QStringLiteral("/DATA/SYS.FDB"));
    storeChecked(db, update.path());
    UpdateInstaller installer(db, root + QStringLiteral("/bin"));
    QElapsedTimer timer;
    timer.start();
    const bool installed = installer.install();
    const double installMs = timer.nsecsElapsed() / 1e6;
    if (!installed) {
        std::fprintf(stderr, "bench_update: %s\n", qPrintable(installer.error()));
        return 1;
    }

    QProcess sevenZip;
    sevenZip.setWorkingDirectory(root + QStringLiteral("/temp"));
    QDir(root).mkpath(QStringLiteral("x"));
    timer.restart();
    sevenZip.start(UpdateSetBuilder::sevenZip(),
                   {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-bd"),
                    QStringLiteral("-o") + root + QStringLiteral("/x"),
                    root + QStringLiteral("/temp/file.zup.001")});
    sevenZip.waitForFinished(-1);
    const double sevenZipMs = timer.nsecsElapsed() / 1e6;
    if (sevenZip.exitCode() != 0) {
        std::fprintf(stderr, "bench_update: 7z x failed:\n%s\n", sevenZip.readAll().constData());
        return 1;
    }
    std::printf("update of %d volumes, %.1f MB\n", builder.volumeCount(),
                FileCount * FileSize / 1e6);
    std::printf("install, extraction start to state 3: %8.0f ms\n", installMs);
    std::printf("7z x of the same volumes:            %8.0f ms\n", sevenZipMs);
    return 0;
}
