#include "data/RestoreSwap.h"

#include "data/FaultPoint.h"
#include "data/PrivateFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace {
bool renameOver(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Each rename of a swap is a point where tests have the process killed.
void faultPoint(const char* step, const QString& file) {
    FaultPoint::reach(QByteArray("restore:")
                          .append(QFileInfo(file).fileName().toUtf8())
                          .append(':')
                          .append(step)
                          .constData());
}

bool exists(const QString& path) {
    return QFileInfo::exists(path);
}
} // namespace

RestoreSwap::RestoreSwap(QStringList databases, QString settingsFile)
    : m_databases(std::move(databases)), m_settingsFile(std::move(settingsFile)) {
    for (QString& database : m_databases)
        database = QFileInfo(database).absoluteFilePath();
    m_settingsFile = QFileInfo(m_settingsFile).absoluteFilePath();
}

QString RestoreSwap::dataFolder() const {
    return m_databases.isEmpty() ? QString() : QFileInfo(m_databases.first()).absolutePath();
}

QString RestoreSwap::journalPath() const {
    return dataFolder() + u'/' + JournalName;
}

QString RestoreSwap::prepareSafetyFolder(QString* error) {
    const QString base = dataFolder() + u'/' + SafetyFolderName;
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
    QString folder = base + u'/' + stamp;
    for (int n = 2; exists(folder); ++n)
        folder = base + u'/' + stamp + QStringLiteral("-%1").arg(n);
    if (!PrivateFiles::makeFolder(folder)) {
        *error = QStringLiteral("The safety folder %1 could not be made").arg(folder);
        return {};
    }
    if (exists(m_settingsFile) &&
        !PrivateFiles::copy(m_settingsFile, folder + u'/' + QFileInfo(m_settingsFile).fileName())) {
        *error = QStringLiteral("The settings file could not be copied into %1").arg(folder);
        QDir(folder).removeRecursively();
        return {};
    }
    return folder;
}

bool RestoreSwap::writeJournal(const QString& safetyFolder, bool withSettings) const {
    QSaveFile journal(journalPath());
    if (!journal.open(QIODevice::WriteOnly))
        return false;
    journal.write(safetyFolder.toUtf8() + '\n' + (withSettings ? "settings\n" : "\n"));
    return journal.commit();
}

bool RestoreSwap::readJournal(QString* safetyFolder, bool* withSettings) const {
    QFile journal(journalPath());
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = journal.readAll().split('\n');
    *safetyFolder = QString::fromUtf8(lines.value(0));
    *withSettings = lines.value(1) == "settings";
    return !safetyFolder->isEmpty();
}

// One database: the current file into the safety folder, the restored one in its place.
bool RestoreSwap::moveIn(const QString& live, const QString& safetyFolder, QStringList& done,
                         QString* error) const {
    const QString aside = safetyFolder + u'/' + QFileInfo(live).fileName();
    faultPoint("aside", live);
    if (exists(live) && !renameOver(live, aside)) {
        *error = QStringLiteral("%1 could not be moved into %2").arg(live, safetyFolder);
        return false;
    }
    done << live;
    faultPoint("in", live);
    if (!renameOver(restoringName(live), live)) {
        *error = QStringLiteral("%1 could not be replaced").arg(live);
        return false;
    }
    return true;
}

void RestoreSwap::moveBack(const QStringList& done, const QString& safetyFolder) const {
    for (const QString& live : done) {
        const QString aside = safetyFolder + u'/' + QFileInfo(live).fileName();
        if (exists(aside))
            renameOver(aside, live);
    }
}

bool RestoreSwap::swap(const QString& safetyFolder, bool withSettings, QString* error) {
    if (!writeJournal(safetyFolder, withSettings)) {
        *error = QStringLiteral("%1 could not be written").arg(journalPath());
        return false;
    }
    QStringList done;
    for (const QString& database : m_databases) {
        if (!moveIn(database, safetyFolder, done, error)) {
            moveBack(done, safetyFolder);
            QFile::remove(journalPath());
            return false;
        }
    }
    // The live settings file was copied into the safety folder; the restored one, read back
    // before, replaces it in one rename.
    faultPoint("in", m_settingsFile);
    if (withSettings && !renameOver(restoringName(m_settingsFile), m_settingsFile)) {
        *error = QStringLiteral("%1 could not be replaced").arg(m_settingsFile);
        moveBack(done, safetyFolder);
        QFile::remove(journalPath());
        return false;
    }
    faultPoint("journal", journalPath());
    QFile::remove(journalPath());
    return true;
}

QStringList RestoreSwap::recover() {
    QStringList told = exists(journalPath()) ? completeJournal() : QStringList();
    told << clearLeftovers();
    return told;
}

// The journal is written only once every restored file was complete and checked, so a begun
// swap is carried through: the databases stay a matching pair.
QStringList RestoreSwap::completeJournal() {
    QString safetyFolder;
    bool withSettings = false;
    if (!readJournal(&safetyFolder, &withSettings)) {
        QFile::remove(journalPath());
        return {};
    }
    PrivateFiles::makeFolder(safetyFolder);
    QStringList missing;
    for (const QString& live : m_databases) {
        const QString restored = restoringName(live);
        if (!exists(restored))
            continue;
        const QString aside = safetyFolder + u'/' + QFileInfo(live).fileName();
        if (exists(live) && !exists(aside))
            renameOver(live, aside);
        if (!exists(live) && !renameOver(restored, live))
            missing << live;
    }
    const QString restoredSettings = restoringName(m_settingsFile);
    if (withSettings && exists(restoredSettings))
        renameOver(restoredSettings, m_settingsFile);
    QFile::remove(journalPath());
    pruneSafetyFolders();
    if (!missing.isEmpty())
        return {QStringLiteral("an interrupted restore could not be completed (%1)")
                    .arg(missing.join(QStringLiteral(", ")))};
    return {QStringLiteral("completed the restore that was under way when the program last ended; "
                           "the files it replaced are in %1")
                .arg(safetyFolder)};
}

// What a restore that never reached its swap leaves: half-written restored files (removed) and,
// from an earlier build's swap, a database that exists only as `<name>.previous` (put back).
QStringList RestoreSwap::clearLeftovers() {
    QStringList told;
    for (const QString& live : m_databases) {
        const QString previous = live + PreviousSuffix;
        if (!exists(live) && exists(previous) && renameOver(previous, live))
            told << QStringLiteral("put %1 back from %2 after an interrupted restore")
                        .arg(live, previous);
        const QString restored = restoringName(live);
        if (exists(live) && exists(restored) && QFile::remove(restored))
            told << QStringLiteral("removed the unfinished restore %1").arg(restored);
    }
    QFile::remove(restoringName(m_settingsFile));
    return told;
}

void RestoreSwap::pruneSafetyFolders() const {
    QDir base(dataFolder() + u'/' + SafetyFolderName);
    const QStringList folders =
        base.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (qsizetype i = 0; i + SafetyCopiesKept < folders.size(); ++i)
        QDir(base.absoluteFilePath(folders[i])).removeRecursively();
}
