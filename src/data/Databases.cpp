#include "data/Databases.h"

#include "data/DatabaseError.h"
#include "data/FbClient.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <tuple>

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
    FbClient::reserveLockFiles();
    QStringList refused;
    for (auto [helper, path] : {std::pair{&MM, dataPath}, std::pair{&SYS_MM, sysPath}}) {
        const QString charSet = characterSet(*helper);
        if (charSet.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0)
            refused << QStringLiteral("%1 (character set %2)")
                           .arg(QDir::cleanPath(QFileInfo(path).absoluteFilePath()),
                                charSet.isEmpty() ? QStringLiteral("NONE") : charSet);
    }
    // A database staged by an earlier build keeps only Latin-1: it is refused rather than
    // converted, with the way to make a new one.
    if (!refused.isEmpty())
        throw DatabaseError(
            QStringLiteral("made by an earlier build, cannot hold every script's text: %1; "
                           "nothing was changed. Recreate: move the file away (keep it if it "
                           "holds contacts) and build again, which makes a new one from "
                           "schema/DATA.sql or schema/SYS.sql")
                .arg(refused.join(QLatin1String(", "))));
    QStringList foreign;
    for (auto [helper, path, tables] :
         {std::tuple{&MM, dataPath, &DataTables}, std::tuple{&SYS_MM, sysPath, &SysTables}}) {
        const QStringList missing = missingTables(*helper, *tables);
        if (!missing.isEmpty())
            foreign << QStringLiteral("%1 (no table %2)")
                           .arg(QDir::cleanPath(QFileInfo(path).absoluteFilePath()),
                                missing.join(QLatin1String(", ")));
    }
    if (!foreign.isEmpty())
        throw DatabaseError(QStringLiteral("not a database of this program: %1; nothing was "
                                           "changed")
                                .arg(foreign.join(QLatin1String(", "))));
}

const QStringList Databases::DataTables{QStringLiteral("CATE"), QStringLiteral("CONT"),
                                        QStringLiteral("CTRY")};
const QStringList Databases::SysTables{QStringLiteral("HVX"), QStringLiteral("HVXUPD")};

QStringList Databases::missingTables(SingleValueHelper& helper, const QStringList& tables) {
    QStringList missing;
    for (const QString& table : tables)
        if (helper.QueryCount(QString(), QStringLiteral("RDB$RELATIONS"),
                              QStringLiteral("RDB$RELATION_NAME = '%1'").arg(table)) == 0)
            missing << table;
    helper.transaction().commit();
    return missing;
}

QString Databases::unusable(const QString& path, const QStringList& tables) {
    Connection connection;
    connection.setDatabaseName(path);
    Transaction transaction(connection);
    SingleValueHelper helper(transaction);
    try {
        connection.open();
        const QString charSet = characterSet(helper);
        if (charSet.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0)
            return QStringLiteral("%1 has the character set %2")
                .arg(path, charSet.isEmpty() ? QStringLiteral("NONE") : charSet);
        const QStringList missing = missingTables(helper, tables);
        if (!missing.isEmpty())
            return QStringLiteral("%1 has no table %2")
                .arg(path, missing.join(QLatin1String(", ")));
    } catch (const DatabaseError& e) {
        return QStringLiteral("%1 cannot be opened: %2").arg(path, e.message());
    }
    return {};
}

QString Databases::characterSet(SingleValueHelper& helper) {
    const QString charSet =
        helper.QueryText(QStringLiteral("RDB$CHARACTER_SET_NAME"), QStringLiteral("RDB$DATABASE"))
            .trimmed();
    helper.transaction().commit();
    return charSet;
}

bool Databases::SCRExecuteError(const QString& statement, const DatabaseError& error) {
    qDebug().noquote() << "script statement skipped:" << statement.left(80) << "-"
                       << error.message();
    return true;
}
