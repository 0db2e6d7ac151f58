// Creates a database file from its schema script. A file that exists already holds a user's
// data: it only gets the tables of the script it lacks (made by a later schema), nothing else.
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
    if (QFileInfo::exists(path)) {
        // A database in use (the program running) is brought up to date at a later build.
        try {
            const QStringList added =
                DatabaseBuilder::addMissingTables(path, QString::fromLocal8Bit(argv[2]));
            if (!added.isEmpty())
                std::printf("tk-mkdb: %s: added %s\n", argv[1], qPrintable(added.join(", ")));
        } catch (const DatabaseError& e) {
            std::fprintf(stderr, "tk-mkdb: %s: not brought up to date: %s\n", argv[1],
                         qPrintable(e.message()));
        }
        return 0;
    }
    try {
        DatabaseBuilder::create(path, QString::fromLocal8Bit(argv[2]));
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "tk-mkdb: %s: %s\n", argv[1], qPrintable(e.message()));
        return 1;
    }
    std::printf("tk-mkdb: created %s\n", argv[1]);
    return 0;
}
