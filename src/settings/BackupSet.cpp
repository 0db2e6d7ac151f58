#include "settings/BackupSet.h"

#include "data/FaultPoint.h"
#include "data/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace {
const QString StagingSuffix = QStringLiteral(".new");
const QString OldSuffix = QStringLiteral(".old");

bool renameTo(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool isSetFile(const QString& name) {
    return BackupSet::SetFiles.contains(name) || name.endsWith(QLatin1String(".fbk.part"));
}
} // namespace

const QStringList BackupSet::SetFiles{QStringLiteral("DATA.fbk"), QStringLiteral("SYS.fbk"),
                                      QStringLiteral("settings.xml")};

BackupSet::BackupSet(const QString& folder) {
    const QFileInfo info(folder);
    // A folder given through a link is written where the link points.
    m_folder = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
}

QString BackupSet::sibling(const QString& suffix) const {
    const QFileInfo info(m_folder);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + suffix;
}

QString BackupSet::staging() const {
    return sibling(StagingSuffix);
}

bool BackupSet::begin() {
    clearLeftovers();
    return PrivateFiles::makeFolder(QFileInfo(m_folder).absolutePath()) &&
           PrivateFiles::makeFolder(staging());
}

// The user's own files in the backup folder move into the folder that takes its place.
bool BackupSet::keepOtherFiles(const QString& from, const QString& to) const {
    const QStringList names =
        QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (isSetFile(name) || QFileInfo::exists(to + u'/' + name))
            continue;
        if (!renameTo(from + u'/' + name, to + u'/' + name))
            return false;
        FaultPoint::reach("backup:kept");
    }
    return true;
}

bool BackupSet::place() {
    const QString next = staging();
    if (!QFileInfo(m_folder).isDir()) {
        FaultPoint::reach("backup:place");
        return renameTo(next, m_folder);
    }
    if (!keepOtherFiles(m_folder, next)) {
        keepOtherFiles(next, m_folder);
        return false;
    }
    FaultPoint::reach("backup:exchange");
    // One step where the file system has it; the old set ends up under the staging name.
    if (::renameat2(AT_FDCWD, QFile::encodeName(next).constData(), AT_FDCWD,
                    QFile::encodeName(m_folder).constData(), RENAME_EXCHANGE) == 0) {
        QDir(next).removeRecursively();
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        keepOtherFiles(next, m_folder);
        return false;
    }
    // Two renames otherwise; a crash between them is repaired by the next run.
    const QString old = sibling(OldSuffix);
    QDir(old).removeRecursively();
    if (!renameTo(m_folder, old)) {
        keepOtherFiles(next, m_folder);
        return false;
    }
    FaultPoint::reach("backup:between");
    if (!renameTo(next, m_folder)) {
        renameTo(old, m_folder);
        keepOtherFiles(next, m_folder);
        return false;
    }
    QDir(old).removeRecursively();
    return true;
}

void BackupSet::discard() {
    if (QFileInfo(m_folder).isDir())
        keepOtherFiles(staging(), m_folder);
    QDir(staging()).removeRecursively();
}

// A staging folder is never the set: the user's files it took go back, the rest is removed.
// An old set moved aside whose new set never arrived comes back. Part files left in the folder
// by an earlier build go.
void BackupSet::clearLeftovers() {
    const QString old = sibling(OldSuffix);
    if (!QFileInfo::exists(m_folder) && QFileInfo(old).isDir())
        renameTo(old, m_folder);
    QDir(old).removeRecursively();
    if (QFileInfo(staging()).isDir())
        discard();
    QDir folder(m_folder);
    for (const QString& part : folder.entryList({QStringLiteral("*.fbk.part")}, QDir::Files))
        folder.remove(part);
}
