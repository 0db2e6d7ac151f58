#include "data/Databases.h"

#include "data/DatabaseError.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

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
    requireUtf8(MM, dataPath);
    requireUtf8(SYS_MM, sysPath);
}

// A database staged by an earlier build has character set NONE and would keep only Latin-1;
// it is refused rather than converted, with the way to make a new one.
void Databases::requireUtf8(SingleValueHelper& helper, const QString& path) {
    const QString charSet =
        helper.QueryText(QStringLiteral("RDB$CHARACTER_SET_NAME"), QStringLiteral("RDB$DATABASE"))
            .trimmed();
    helper.transaction().commit();
    if (charSet.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) == 0)
        return;
    const QFileInfo file(path);
    throw DatabaseError(
        QStringLiteral("%1 has character set %2 from an earlier build and cannot hold every "
                       "script's text; nothing was changed. Recreate it: move the file away "
                       "(keep it if it holds contacts) and build again, which makes a new one "
                       "from schema/%3.sql")
            .arg(QDir::cleanPath(file.absoluteFilePath()),
                 charSet.isEmpty() ? QStringLiteral("NONE") : charSet, file.completeBaseName()));
}

bool Databases::SCRExecuteError(const QString& statement, const DatabaseError& error) {
    qDebug().noquote() << "script statement skipped:" << statement.left(80) << "-"
                       << error.message();
    return true;
}
