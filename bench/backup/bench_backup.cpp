// Backup and restore benchmark: a data database with 100,000 contacts backed up and restored
// through the program's own path (the services manager of the embedded engine, with the
// connection open, as the settings page does it), beside "gbak -b" and "gbak -c" run as
// commands on the same files. Usage: bench_backup [contacts] [copy of the data database]
#include "DirectoryGenerator.h"
#include "TempDatabase.h"
#include "app/SettingsStore.h"
#include "data/Databases.h"
#include "data/FbClient.h"
#include "settings/BackupRestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <functional>

namespace {
double secondsOf(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e9;
}

double mib(const QString& file) {
    return double(QFileInfo(file).size()) / (1024.0 * 1024.0);
}

// Runs gbak with the program's lock folder, so the two never open a file at the same time
// unseen; answers its exit code.
int gbak(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FIREBIRD_LOCK", FbClient::defaultLockDirectory());
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start("gbak", QStringList({"-user", "SYSDBA", "-password", "morvan52"}) + arguments);
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int contacts = argc > 1 ? std::atoi(argv[1]) : 100000;
    TempDatabase tmp;
    QDir::setCurrent(tmp.binDir());
    const QString folder = tmp.root() + "/Save/TessaroBackup";
    int lines = 0;
    {
        Databases db;
        db.open(tmp.dataPath(), tmp.sysPath());
        const double made = secondsOf([&] {
            DirectoryGenerator generator;
            const QList<int> folders = generator.addFolders(db, 500, 4);
            generator.addContacts(db, folders, contacts);
        });
        std::printf("data database with %d contacts made in %.1f s: DATA.FDB %.1f MiB\n", contacts,
                    made, mib(tmp.dataPath()));
        if (argc > 2) {
            db.MDB.close();
            QFile::remove(argv[2]);
            QFile::copy(tmp.dataPath(), QString::fromLocal8Bit(argv[2]));
            db.MDB.open();
        }
        SettingsStore settings(tmp.binDir() + "/settings.xml");
        settings.WriteText("USRINF\\USR", "Benchmark");
        settings.Flush();
        BackupRestore run(db, settings);
        bool ok = false;
        const double backup = secondsOf([&] { ok = run.backup(folder); });
        lines = run.ProgressLines;
        std::printf("program backup  (both databases + settings): %6.2f s  %s  DATA.fbk %.1f MiB  "
                    "%d progress lines\n",
                    backup, ok ? "ok" : "FAILED", mib(folder + "/DATA.fbk"), lines);
        const double restore = secondsOf([&] { ok = run.restore(folder); });
        std::printf("program restore (both databases + settings): %6.2f s  %s  %d progress lines  "
                    "contacts after: %d\n",
                    restore, ok ? "ok" : "FAILED", run.ProgressLines, db.MM.QueryCount("", "CONT"));
        const double dataOnly = secondsOf([&] { ok = run.BackupDatabase(db.MDB, folder); });
        std::printf("program backup  (DATA.FDB only):             %6.2f s  %s\n", dataOnly,
                    ok ? "ok" : "FAILED");
    }
    // The command line tool needs the files closed by this process.
    const QString gbakFile = tmp.root() + "/gbak-DATA.fbk";
    int rc = 0;
    const double b = secondsOf([&] { rc = gbak({"-b", "-v", tmp.dataPath(), gbakFile}); });
    std::printf("gbak -b -v DATA.FDB:                         %6.2f s  rc %d  %.1f MiB\n", b, rc,
                mib(gbakFile));
    const double c = secondsOf([&] {
        rc = gbak({"-c", "-v", gbakFile, tmp.root() + "/DATA/gbak-restored.FDB"});
    });
    std::printf("gbak -c -v into a new DATA file:             %6.2f s  rc %d\n", c, rc);
    return 0;
}
