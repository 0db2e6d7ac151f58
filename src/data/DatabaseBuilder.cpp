#include "data/DatabaseBuilder.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/ScriptRunner.h"
#include "data/Transaction.h"

#include <QFile>
#include <QFileInfo>

void DatabaseBuilder::create(const QString& path, const QString& scriptPath) {
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Cannot read %1").arg(scriptPath));
    const QString text = QString::fromUtf8(script.readAll());
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString quoted = absolute;
    quoted.replace(u'\'', QLatin1String("''"));
    try {
        Connection connection;
        Transaction transaction(connection);
        ScriptRunner runner(transaction);
        runner.RunScript(QStringLiteral("CREATE DATABASE '%1' USER '%2' PASSWORD '%3' "
                                        "PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8;")
                             .arg(quoted, QLatin1String(Connection::UserName),
                                  QLatin1String(Connection::Password)));
        runner.RunScript(text);
        transaction.commit();
    } catch (const DatabaseError&) {
        QFile::remove(absolute);
        throw;
    }
}
