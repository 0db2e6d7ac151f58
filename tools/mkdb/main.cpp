// Creates a database file from its schema script, unless the file already exists: staging
// never touches a database that holds a user's data.
#include "data/DatabaseBuilder.h"
#include "data/DatabaseError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tk-mkdb DATABASE SCRIPT\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0;
    try {
        DatabaseBuilder::create(path, QString::fromLocal8Bit(argv[2]));
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "tk-mkdb: %s: %s\n", argv[1], qPrintable(e.message()));
        return 1;
    }
    std::printf("tk-mkdb: created %s\n", argv[1]);
    return 0;
}
