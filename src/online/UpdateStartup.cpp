#include "online/UpdateStartup.h"

#include "data/Databases.h"
#include "online/Tche_upd_frm.h"
#include "online/UpdateQueue.h"

#include <QDir>
#include <QProcess>

bool UpdateStartup::run(Databases& db, int updateState, const QString& programDir) {
    UpdateQueue queue(db.SYS_MM, programDir + QStringLiteral("/../temp"));
    if (updateState == UpdateQueue::Downloaded) {
        if (!queue.Che_Upd_Intg())
            return false;
        Tche_upd_frm installer(db, programDir);
        installer.exec();
        return installer.tag() == Tche_upd_frm::InstalledTag;
    }
    if (updateState == UpdateQueue::Installed)
        return !queue.Che_Suc_Upd();
    return false;
}

bool UpdateStartup::LaunchReplica(const QString& programDir, const QString& programPath) {
    QProcess::startDetached(QDir(programDir).absoluteFilePath(QStringLiteral("replica")),
                            {programPath}, programDir);
    return true;
}
