#include "online/UpdateInstaller.h"

#include "data/Databases.h"
#include "online/UpdateArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <stdexcept>

namespace {
// Folders made writable first, so that removing the old unpacked update does not stop at one.
void removeTree(const QString& dir) {
    if (!QFileInfo::exists(dir))
        return;
    QDirIterator it(dir, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::permissions(it.filePath()) | QFile::WriteOwner |
                                             QFile::ExeOwner | QFile::ReadOwner);
    QDir(dir).removeRecursively();
}

QString readScript(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        throw std::runtime_error(qPrintable(path + QStringLiteral(": ") + f.errorString()));
    return QString::fromUtf8(f.readAll());
}
} // namespace

UpdateInstaller::UpdateInstaller(Databases& db, const QString& programDir, QObject* parent)
    : QObject(parent), m_db(db), m_programDir(programDir),
      m_temp(QDir::cleanPath(programDir + QStringLiteral("/../temp"))) {}

bool UpdateInstaller::install() {
    try {
        emit captionChanged(ExtractingCaption);
        emit progressChanged(0);
        if (!extract())
            return false;
        takeReplica();
        emit captionChanged(UpdatingCaption);
        emit progressChanged(0);
        const QString script = m_db.SYS_MM.QueryText(QStringLiteral("COM"), QStringLiteral("HVX"),
                                                     QStringLiteral("ID=1")) +
                               QStringLiteral(".sql");
        runScript(m_temp + QStringLiteral("/file/prs_") + script, true);
        emit progressChanged(30);
        emit progressChanged(75);
        runScript(m_temp + QStringLiteral("/file/sys_") + script, false);
        emit progressChanged(100);
        m_db.SYS_MM.ExecStatement(QStringLiteral("update hvx set com=3 where id=4"));
        m_db.SYS_DTR.CommitRetaining();
        return true;
    } catch (const std::exception& e) {
        m_error = QString::fromLocal8Bit(e.what());
        return false;
    }
}

// Unpacks on a worker thread; its progress reaches this thread's signals through the loop.
bool UpdateInstaller::extract() {
    const QString fileDir = m_temp + QStringLiteral("/file");
    removeTree(fileDir);
    UpdateArchive archive(m_temp + QStringLiteral("/file.zup.001"));
    UpdateArchive::Result result = UpdateArchive::Result::CannotOpen;
    QEventLoop loop;
    QThread* worker = QThread::create([&] {
        result = archive.extract(m_temp, [this](qint64 done, qint64 total) {
            const int percent = total > 0 ? int((done * 200 + total) / (total * 2)) : 100;
            if (percent == m_percent)
                return;
            m_percent = percent;
            QMetaObject::invokeMethod(
                this, [this, percent] { emit progressChanged(percent); }, Qt::QueuedConnection);
        });
    });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    QCoreApplication::sendPostedEvents(this);
    if (result != UpdateArchive::Result::Extracted) {
        m_error = archive.error();
        return false;
    }
    return true;
}

// The updater runs from the program folder; a new copy replaces it whole or not at all.
void UpdateInstaller::takeReplica() {
    const QString fresh = m_temp + QStringLiteral("/file/replica");
    if (!QFileInfo::exists(fresh))
        return;
    const QString target = m_programDir + QStringLiteral("/replica");
    const QString staged = target + QStringLiteral(".new");
    QFile::remove(staged);
    if (!QFile::copy(fresh, staged) ||
        !QFile::setPermissions(staged, QFile::permissions(fresh) | QFile::ExeOwner |
                                           QFile::ExeUser | QFile::ReadOwner)) {
        QFile::remove(staged);
        return;
    }
    if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0)
        QFile::remove(staged);
}

void UpdateInstaller::runScript(const QString& path, bool data) {
    if (!QFileInfo::exists(path))
        return;
    (data ? m_db.SCR : m_db.SYS_SCR).RunScript(readScript(path));
}
