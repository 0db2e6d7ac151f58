#pragma once

#include "data/Connection.h"
#include "data/ScriptRunner.h"
#include "data/SingleValueHelper.h"
#include "data/Transaction.h"

#include <QStringList>

class DatabaseError;

// The program's two databases, each with its one connection, transaction, single-value helper
// and script runner: MDB/DTR/MM/SCR on DATA.FDB and SYS_MDB/SYS_DTR/SYS_MM/SYS_SCR on SYS.FDB.
// Owned by the main window; every page works through these objects.
class Databases {
public:
    Databases();
    ~Databases();
    Databases(const Databases&) = delete;
    Databases& operator=(const Databases&) = delete;

    // Opens the data database first and the system database second (relative paths are
    // resolved against the working directory). A database whose character set is not UTF8
    // (one staged by an earlier build) is refused. Throws DatabaseError.
    void open(const QString& dataPath = QStringLiteral("../DATA/DATA.FDB"),
              const QString& sysPath = QStringLiteral("../DATA/SYS.FDB"));

    // The database's default character set ("UTF8"; empty for NONE).
    static QString characterSet(SingleValueHelper& helper);

    // The tables the program reads in each database.
    static const QStringList DataTables;
    static const QStringList SysTables;
    // Of the tables named, those the database does not have.
    static QStringList missingTables(SingleValueHelper& helper, const QStringList& tables);
    // Why the database file cannot serve as a database holding these tables (the checks made
    // at start: character set, tables), or an empty text when it can. Opens a connection of its
    // own and closes it again.
    static QString unusable(const QString& path, const QStringList& tables);

    // A failing script statement is skipped without a message (SCRExecuteError).
    static bool SCRExecuteError(const QString& statement, const DatabaseError& error);

    Connection MDB;
    Transaction DTR{MDB};
    SingleValueHelper MM{DTR};
    ScriptRunner SCR{DTR};

    Connection SYS_MDB;
    Transaction SYS_DTR{SYS_MDB};
    SingleValueHelper SYS_MM{SYS_DTR};
    ScriptRunner SYS_SCR{SYS_DTR};
};
