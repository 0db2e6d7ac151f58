#pragma once

#include "data/Databases.h"

#include <QString>
#include <QTemporaryDir>

// A program folder in a temporary directory with fresh DATA.FDB and SYS.FDB made from schema/:
// <root>/bin (working directory of the program), <root>/DATA, <root>/temp, ...
class TempDatabase {
public:
    TempDatabase();

    QString root() const { return m_dir.path(); }
    QString binDir() const { return m_dir.path() + QStringLiteral("/bin"); }
    QString dataPath() const { return m_dir.path() + QStringLiteral("/DATA/DATA.FDB"); }
    QString sysPath() const { return m_dir.path() + QStringLiteral("/DATA/SYS.FDB"); }
    // Copies the shipped report templates into <root>/templates.
    void installTemplates() const;

private:
    QTemporaryDir m_dir;
};

// A temporary program folder with both databases opened through the program's objects.
struct OpenTempDatabase {
    OpenTempDatabase() { db.open(files.dataPath(), files.sysPath()); }
    TempDatabase files;
    Databases db;
};
