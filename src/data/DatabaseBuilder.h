#pragma once

#include <QString>

// Makes a new database file and runs a schema script on it with the program's script runner.
class DatabaseBuilder {
public:
    // Creates `path` from the isql script at `scriptPath`; a failing statement fails the build
    // and the half-made file is removed. Throws DatabaseError.
    static void create(const QString& path, const QString& scriptPath);
};
