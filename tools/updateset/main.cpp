// tk-updateset [--volume-size SIZE] SOURCE UPDATE_FOLDER: builds an update set from the files
// in SOURCE (bin/..., templates/..., prs_<version>.sql, sys_<version>.sql, replica) and
// publishes it into UPDATE_FOLDER, the service's <data>/update.
#include "UpdateSetBuilder.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString volumeSize = QStringLiteral("10m");
    if (args.size() == 4 && args[0] == QLatin1String("--volume-size")) {
        volumeSize = args[1];
        args = args.mid(2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tk-updateset [--volume-size SIZE] SOURCE UPDATE_FOLDER\n");
        return 2;
    }
    UpdateSetBuilder builder(args[0], args[1], volumeSize);
    if (!builder.build()) {
        std::fprintf(stderr, "tk-updateset: %s\n", qPrintable(builder.error()));
        return 1;
    }
    std::printf("tk-updateset: %d volume(s), fingerprint %s\n", builder.volumeCount(),
                qPrintable(builder.fingerprint()));
    return 0;
}
