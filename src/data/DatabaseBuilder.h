#pragma once

#include <QString>
#include <QStringList>

// Makes a new database file and runs a schema script on it with the program's script runner.
class DatabaseBuilder {
public:
    // Creates `path` from the isql script at `scriptPath`; a failing statement fails the build
    // and the half-made file is removed. Throws DatabaseError.
    static void create(const QString& path, const QString& scriptPath);
    // Brings an existing database up to its schema script: each table the script creates
    // that the database lacks is created (the table alone; rows and other objects of a later
    // schema are for an update script). Answers the tables added. Throws DatabaseError.
    static QStringList addMissingTables(const QString& path, const QString& scriptPath);
};
