#include "online/UpdateInstaller.h"

#include "data/Databases.h"
#include "online/UpdateArchive.h"
#include "online/UpdatePlan.h"
#include "online/UpdateQueue.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <stdexcept>

namespace {
QString readScript(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        throw std::runtime_error(qPrintable(path + QStringLiteral(": ") + f.errorString()));
    return QString::fromUtf8(f.readAll());
}
} // namespace

UpdateInstaller::UpdateInstaller(Databases& db, const QString& programDir, QObject* parent)
    : QObject(parent), m_db(db), m_programDir(programDir),
      m_temp(QDir::cleanPath(programDir + QStringLiteral("/../temp"))), m_progress(db.SYS_MM) {}

bool UpdateInstaller::install() {
    try {
        // The start-up check sets such a set aside; this guards every other way in.
        if (!UpdateQueue(m_db.SYS_MM, m_temp).signatureHolds()) {
            m_error = QStringLiteral("the update set's signature is missing or wrong");
            return false;
        }
        emit captionChanged(ExtractingCaption);
        emit progressChanged(0);
        if (!extract() || !checkPlan())
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
        m_progress.clear();
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
    UpdateQueue::removeFolder(fileDir);
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
    m_notUnpacked = archive.skipped();
    for (const QString& entry : m_notUnpacked)
        log(QStringLiteral("update file not unpacked: ") + entry);
    if (result != UpdateArchive::Result::Extracted) {
        m_error = archive.error();
        // A half-done extraction (a full disk) is not left behind to fill it.
        if (result != UpdateArchive::Result::CannotOpen)
            UpdateQueue::removeFolder(fileDir);
        return false;
    }
    // An update with nothing to copy still gives the updater its (empty) folder.
    QDir().mkpath(fileDir);
    return true;
}

// The updater copies file by file once the program has ended; a copy it cannot make would
// leave the update half done with the scripts already run, so it is found here first.
bool UpdateInstaller::checkPlan() {
    const QStringList conflicts =
        UpdatePlan::conflicts(m_temp + QStringLiteral("/file"), QFileInfo(m_temp).path());
    if (conflicts.isEmpty())
        return true;
    m_error = QStringLiteral("the update cannot be put in place: ") +
              conflicts.join(QStringLiteral("; "));
    return false;
}

void UpdateInstaller::log(const QString& line) {
    std::fprintf(stderr, "tessaro-kavelin: %s\n", qPrintable(line));
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

// Each COMMIT of a script is recorded, so a run cut short goes on after it next time: the
// system script's record is committed with its own work; the data script's right after its
// commit, in the system database (a crash between those two commits runs that one stretch
// of the data script again).
void UpdateInstaller::runScript(const QString& path, bool data) {
    if (!QFileInfo::exists(path))
        return;
    const QString text = readScript(path);
    const QString name = QFileInfo(path).fileName();
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
    const int resume = m_progress.resumePoint(name, digest);
    if (resume > 0)
        log(QStringLiteral("%1 goes on after statement %2, committed before")
                .arg(name)
                .arg(resume));
    ScriptRunner& runner = data ? m_db.SCR : m_db.SYS_SCR;
    if (data)
        runner.setCommitHooks({}, [this, name, digest](int statement) {
            if (m_progress.record(name, digest, statement)) {
                m_db.SYS_DTR.CommitRetaining();
                emit scriptCommitted(name, statement);
            }
        });
    else
        runner.setCommitHooks(
            [this, name, digest](int statement) { m_progress.record(name, digest, statement); },
            [this, name](int statement) { emit scriptCommitted(name, statement); });
    try {
        runner.RunScript(text, resume);
    } catch (...) {
        runner.setCommitHooks({}, {});
        throw;
    }
    runner.setCommitHooks({}, {});
}
