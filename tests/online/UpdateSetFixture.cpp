#include "UpdateSetFixture.h"

#include "data/Databases.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

UpdateSetFixture::UpdateSetFixture() {
    QDir().mkpath(sourceDir());
}

void UpdateSetFixture::addFile(const QString& relative, const QByteArray& bytes,
                               QFile::Permissions perms) {
    const QString path = sourceDir() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    f.setPermissions(perms);
}

int UpdateSetFixture::build(const QString& volumeSize, const QString& key) {
    return runTool({QStringLiteral("--sign-key"), key, QStringLiteral("--volume-size"), volumeSize,
                    sourceDir(), updateDir()});
}

int UpdateSetFixture::sign(const QString& key) {
    return runTool({QStringLiteral("--sign-key"), key, QStringLiteral("--sign-only"), updateDir()});
}

int UpdateSetFixture::makeKey(const QString& prefix) {
    return runTool({QStringLiteral("--make-key"), prefix});
}

int UpdateSetFixture::runTool(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TK_UPDATESET_PATH), args);
    p.waitForFinished(120000);
    m_output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int UpdateSetFixture::buildRaw(const QStringList& paths) {
    QDir().mkpath(updateDir());
    const QString volume = updateDir() + QStringLiteral("/file.zup.001");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(sourceDir());
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("7zz")).isEmpty()
                             ? QStringLiteral("7z")
                             : QStringLiteral("7zz");
    p.start(tool, QStringList{QStringLiteral("a"), QStringLiteral("-t7z"), QStringLiteral("-bd"),
                              volume + QStringLiteral(".7z")} +
                      paths);
    p.waitForFinished(120000);
    m_output = QString::fromLocal8Bit(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return p.exitCode() ? p.exitCode() : -1;
    QFile::rename(volume + QStringLiteral(".7z"), volume);
    QFile list(updateDir() + QStringLiteral("/parts.txt"));
    list.open(QIODevice::WriteOnly);
    QFile f(volume);
    f.open(QIODevice::ReadOnly);
    const QByteArray parts =
        "1,'" + QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex() + "'\n";
    list.write(parts);
    list.close();
    QFile fingerprint(updateDir() + QStringLiteral("/fingerprint.txt"));
    fingerprint.open(QIODevice::WriteOnly);
    fingerprint.write(QCryptographicHash::hash(parts, QCryptographicHash::Md5).toHex() + '\n');
    fingerprint.close();
    return sign();
}

int UpdateSetFixture::partCount() const {
    return QDir(updateDir()).entryList({QStringLiteral("file.zup.*")}, QDir::Files).size();
}

QByteArray UpdateSetFixture::fingerprint() const {
    return readAll(updateDir() + QStringLiteral("/fingerprint.txt")).trimmed();
}

QByteArray UpdateSetFixture::signature() const {
    return readAll(updateDir() + QStringLiteral("/file.sig")).trimmed();
}

QByteArray UpdateSetFixture::partList() const {
    return readAll(updateDir() + QStringLiteral("/parts.txt"));
}

void UpdateSetFixture::placeDownloaded(Databases& db, const QString& tempDir) const {
    for (const QByteArray& line : partList().split('\n')) {
        if (line.isEmpty())
            continue;
        const int id = line.left(line.indexOf(',')).toInt();
        const QString name = QStringLiteral("file.zup.%1").arg(id, 3, 10, QLatin1Char('0'));
        QFile::remove(tempDir + u'/' + name);
        QVERIFY(QFile::copy(updateDir() + u'/' + name, tempDir + u'/' + name));
        db.SYS_MM.ExecStatement(QStringLiteral("insert into hvxupd (id,hsh,st) values (%1,1)")
                                    .arg(QString::fromLatin1(line)));
    }
    db.SYS_MM.ExecStatement(QStringLiteral("update hvx set com='%1' where id=3")
                                .arg(QString::fromLatin1(fingerprint())));
    db.SYS_MM.ExecStatement(
        QStringLiteral("update or insert into hvx (id,com) values (2,'%1') matching (id)")
            .arg(QString::fromLatin1(signature())));
    db.SYS_MM.ExecStatement(QStringLiteral("update hvx set com=2 where id=4"));
    db.SYS_DTR.CommitRetaining();
}

QByteArray UpdateSetFixture::noise(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    gen.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
