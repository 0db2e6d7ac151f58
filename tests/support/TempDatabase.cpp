#include "TempDatabase.h"

#include "data/DatabaseBuilder.h"

#include <QDir>
#include <QFile>

namespace {
// The schema is built once per test process; each fixture gets its own copy of the files.
QString templateDir() {
    static QTemporaryDir dir;
    static bool built = false;
    if (!built) {
        DatabaseBuilder::create(dir.path() + QStringLiteral("/DATA.FDB"),
                                QStringLiteral(TK_SCHEMA_DIR "/DATA.sql"));
        DatabaseBuilder::create(dir.path() + QStringLiteral("/SYS.FDB"),
                                QStringLiteral(TK_SCHEMA_DIR "/SYS.sql"));
        built = true;
    }
    return dir.path();
}
} // namespace

TempDatabase::TempDatabase() {
    QDir root(m_dir.path());
    for (const char* sub : {"bin", "DATA", "templates", "reports", "temp"})
        root.mkpath(QString::fromLatin1(sub));
    const QString from = templateDir();
    QFile::copy(from + QStringLiteral("/DATA.FDB"), dataPath());
    QFile::copy(from + QStringLiteral("/SYS.FDB"), sysPath());
}

void TempDatabase::installTemplates() const {
    const QDir from(QStringLiteral(TK_SOURCE_DIR "/templates"));
    for (const QString& name : from.entryList({QStringLiteral("*.TEMPLATE.RTF")}, QDir::Files))
        QFile::copy(from.filePath(name), root() + QStringLiteral("/templates/") + name);
}
