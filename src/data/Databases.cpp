#include "data/Databases.h"

#include "data/DatabaseError.h"

#include <QDebug>

Databases::Databases() {
    SCR.setOnExecuteError(&Databases::SCRExecuteError);
    SYS_SCR.setOnExecuteError(&Databases::SCRExecuteError);
}

// Transactions roll back before their connections close.
Databases::~Databases() = default;

void Databases::open(const QString& dataPath, const QString& sysPath) {
    MDB.setDatabaseName(dataPath);
    SYS_MDB.setDatabaseName(sysPath);
    MDB.open();
    SYS_MDB.open();
}

bool Databases::SCRExecuteError(const QString& statement, const DatabaseError& error) {
    qDebug().noquote() << "script statement skipped:" << statement.left(80) << "-"
                       << error.message();
    return true;
}
