#include "online/UpdateStartup.h"

#include "app/TkApplication.h"
#include "data/Databases.h"
#include "online/Tche_upd_frm.h"
#include "online/UpdateQueue.h"

#include <QDir>
#include <QProcess>
#include <cstdio>

namespace {
// Installations of one set tried before it is set aside, starts in state 3 without the
// updater's marker before the update is given up.
constexpr int Attempts = 2;

void tell(const QString& line) {
    std::fprintf(stderr, "tessaro-kavelin: %s\n", qPrintable(line));
}
} // namespace

bool UpdateStartup::run(Databases& db, int updateState, const QString& programDir) {
    UpdateQueue queue(db.SYS_MM, programDir + QStringLiteral("/../temp"));
    if (updateState == UpdateQueue::Downloaded)
        return install(db, queue, programDir);
    if (updateState == UpdateQueue::Installed && !queue.Che_Suc_Upd())
        return handOverAgain(queue, programDir);
    return false;
}

// A set that fails to install is tried at the next start once more, then set aside, so a
// set that can never be installed does not stop every start.
bool UpdateStartup::install(Databases& db, UpdateQueue& queue, const QString& programDir) {
    // Nothing of a set the maker did not sign is unpacked, run or started.
    if (!queue.signatureHolds()) {
        tell(QStringLiteral("update set aside: its signature is missing or wrong"));
        queue.setAsideUntrusted();
        return false;
    }
    if (!queue.Che_Upd_Intg())
        return false;
    const int attempt = queue.countInstallAttempt();
    if (attempt <= Attempts) {
        Tche_upd_frm installer(db, programDir);
        installer.exec();
        if (installer.tag() == Tche_upd_frm::InstalledTag)
            return true;
        if (attempt < Attempts)
            return false;
    }
    tell(QStringLiteral("update set aside: it failed to install %1 times").arg(Attempts));
    queue.setAside();
    return false;
}

// The updater did not confirm: it is started once more (the program may not have ended in
// time); after that the update is given up and the program starts, with the reason in the
// updater's log.
bool UpdateStartup::handOverAgain(UpdateQueue& queue, const QString& programDir) {
    if (queue.countUnconfirmedStart() < Attempts)
        return true;
    queue.setAside();
    const QString log =
        QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("../temp/replica.log")));
    const QString text =
        QStringLiteral("The update could not be completed and was given up; the program "
                       "starts as it was. The reason is in %1")
            .arg(QDir::toNativeSeparators(log));
    tell(text);
    TkApplication::showError(text);
    return false;
}

bool UpdateStartup::LaunchReplica(const QString& programDir, const QString& programPath) {
    QProcess::startDetached(QDir(programDir).absoluteFilePath(QStringLiteral("replica")),
                            {programPath}, programDir);
    return true;
}
