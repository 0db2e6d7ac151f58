#include "online/UpdatePlan.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

QStringList UpdatePlan::files(const QString& updateDir) {
    static const QRegularExpression topLevelSkipped(
        QStringLiteral("^((prs|sys)_[^/]*\\.sql|replica)$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    const QDir base(updateDir);
    QDirIterator it(updateDir, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = base.relativeFilePath(it.next());
        if (!topLevelSkipped.match(relative).hasMatch())
            found << relative;
    }
    found.sort();
    return found;
}

QStringList UpdatePlan::conflicts(const QString& updateDir, const QString& prefix) {
    QStringList found;
    for (const QString& relative : files(updateDir)) {
        const QString target = prefix + u'/' + relative;
        if (QFileInfo(target).isDir()) {
            found << target + QStringLiteral(": a folder is in the way");
            continue;
        }
        // Every folder on the way must be a folder or not there yet.
        const QStringList parts = relative.split(u'/');
        QString folder = prefix;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            folder += u'/' + parts[i];
            const QFileInfo info(folder);
            if (info.exists() && !info.isDir()) {
                found << folder + QStringLiteral(": a file is where a folder goes");
                break;
            }
        }
    }
    return found;
}
