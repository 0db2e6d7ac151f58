// Runs the update installer over a program folder as a process of its own, printing each
// recorded script commit, so a test can kill it half way through a script.
#include "data/Databases.h"
#include "online/UpdateInstaller.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: install_probe BIN DATA.FDB SYS.FDB\n");
        return 2;
    }
    Databases db;
    db.open(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    UpdateInstaller installer(db, QString::fromLocal8Bit(argv[1]));
    QObject::connect(&installer, &UpdateInstaller::scriptCommitted,
                     [](const QString& script, int statement) {
                         std::printf("committed %s %d\n", qPrintable(script), statement);
                         std::fflush(stdout);
                     });
    const bool installed = installer.install();
    std::printf("%s\n", installed ? "installed" : qPrintable(installer.error()));
    return installed ? 0 : 1;
}
