#include "UpdateSetBuilder.h"

#include "UpdateSigner.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QString partName(int number) {
    return QStringLiteral("file.zup.") + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

QByteArray md5Hex(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&f);
    return hash.result().toHex().toUpper();
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}
} // namespace

UpdateSetBuilder::UpdateSetBuilder(const QString& sourceDir, const QString& updateDir,
                                   UpdateSigner& signer, const QString& volumeSize)
    : m_source(QFileInfo(sourceDir).absoluteFilePath()),
      m_target(QFileInfo(updateDir).absoluteFilePath()), m_signer(signer),
      m_volumeSize(volumeSize) {}

QString UpdateSetBuilder::sevenZip() {
    for (const char* name : {"7z", "7zz", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool UpdateSetBuilder::build() {
    if (!QFileInfo(m_source).isDir()) {
        m_error = m_source + QStringLiteral(": not a folder");
        return false;
    }
    static const QRegularExpression size(QStringLiteral("^[1-9][0-9]*[bkmg]?$"));
    if (!size.match(m_volumeSize).hasMatch()) {
        m_error = m_volumeSize + QStringLiteral(": not a volume size");
        return false;
    }
    const QString parent = QFileInfo(m_target).absolutePath();
    if (!QDir().mkpath(parent)) {
        m_error = parent + QStringLiteral(": cannot create the folder");
        return false;
    }
    // Work beside the target, so the finished set moves into place by renaming.
    QTemporaryDir work(parent + QStringLiteral("/.updateset-XXXXXX"));
    if (!work.isValid()) {
        m_error = parent + QStringLiteral(": ") + work.errorString();
        return false;
    }
    const QString outDir = work.filePath(QStringLiteral("out"));
    return copySource(work.filePath(QStringLiteral("tree/file"))) &&
           pack(work.filePath(QStringLiteral("tree")), outDir) && writeLists(outDir) &&
           sign(outDir) && publish(outDir, work.filePath(QStringLiteral("old")));
}

// The archive's entries carry the folder "file/", so the source is packed from a copy under
// that name.
bool UpdateSetBuilder::copySource(const QString& to) {
    const QDir base(m_source);
    QDir().mkpath(to);
    QDirIterator it(m_source, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = to + u'/' + base.relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            m_error = info.filePath() + QStringLiteral(": links are not packed");
            return false;
        }
        const bool ok = info.isDir() ? QDir().mkpath(target)
                                     : (QDir().mkpath(QFileInfo(target).absolutePath()) &&
                                        QFile::copy(info.filePath(), target));
        if (!ok) {
            m_error = target + QStringLiteral(": cannot copy");
            return false;
        }
    }
    return true;
}

bool UpdateSetBuilder::pack(const QString& workDir, const QString& outDir) {
    const QString tool = sevenZip();
    if (tool.isEmpty()) {
        m_error = QStringLiteral("no 7z command found (Debian package 7zip)");
        return false;
    }
    QDir().mkpath(outDir);
    QProcess p;
    p.setWorkingDirectory(workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, {QStringLiteral("a"), QStringLiteral("-t7z"), QStringLiteral("-bd"),
                   QStringLiteral("-y"), QStringLiteral("-v") + m_volumeSize,
                   outDir + QStringLiteral("/file.7z"), QStringLiteral("file")});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = tool + QStringLiteral(" failed: ") +
                  QString::fromLocal8Bit(p.readAll()).trimmed().right(2000);
        return false;
    }
    QDir out(outDir);
    if (out.exists(QStringLiteral("file.7z")))
        out.rename(QStringLiteral("file.7z"), QStringLiteral("file.7z.001"));
    for (int n = 1;; ++n) {
        const QString volume = QStringLiteral("file.7z.%1").arg(n, 3, 10, QLatin1Char('0'));
        if (!out.exists(volume))
            break;
        if (!out.rename(volume, partName(n))) {
            m_error = out.filePath(volume) + QStringLiteral(": cannot rename");
            return false;
        }
        m_volumes = n;
    }
    if (m_volumes == 0) {
        m_error = QStringLiteral("the 7z command wrote no volume");
        return false;
    }
    return true;
}

bool UpdateSetBuilder::writeLists(const QString& outDir) {
    QByteArray parts;
    for (int n = 1; n <= m_volumes; ++n) {
        const QByteArray digest = md5Hex(outDir + u'/' + partName(n));
        if (digest.isEmpty()) {
            m_error = partName(n) + QStringLiteral(": cannot read");
            return false;
        }
        parts += QByteArray::number(n) + ",'" + digest + "'\n";
    }
    m_fingerprint = QString::fromLatin1(
        QCryptographicHash::hash(parts, QCryptographicHash::Md5).toHex().toUpper());
    if (!writeText(outDir + QStringLiteral("/parts.txt"), parts) ||
        !writeText(outDir + QStringLiteral("/fingerprint.txt"), m_fingerprint.toLatin1() + '\n')) {
        m_error = outDir + QStringLiteral(": cannot write the lists");
        return false;
    }
    return true;
}

bool UpdateSetBuilder::sign(const QString& outDir) {
    if (!m_signer.sign(outDir)) {
        m_error = m_signer.error();
        return false;
    }
    return true;
}

// The old set moves aside and the new one takes its name: a client never sees a mixture.
bool UpdateSetBuilder::publish(const QString& outDir, const QString& oldDir) {
    QDir dir;
    if (QFileInfo::exists(m_target) && !dir.rename(m_target, oldDir)) {
        m_error = m_target + QStringLiteral(": cannot replace");
        return false;
    }
    if (!dir.rename(outDir, m_target)) {
        dir.rename(oldDir, m_target);
        m_error = m_target + QStringLiteral(": cannot publish");
        return false;
    }
    return true;
}
