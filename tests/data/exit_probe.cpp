// Opens both databases, starts a transaction and ends through exit() without closing anything,
// the way a process ends when its display connection breaks.
#include "TempDatabase.h"
#include "data/Databases.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto* tmp = new TempDatabase;
    auto* db = new Databases;
    db->open(tmp->dataPath(), tmp->sysPath());
    db->MM.ExecStatement("insert into cate (cd, pcd, title) values (77, 0, 'pending')");
    std::printf("open\n");
    std::fflush(stdout);
    std::exit(3);
}
