#include "data/DatabaseBuilder.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/ScriptRunner.h"
#include "data/SingleValueHelper.h"
#include "data/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
QString readScript(const QString& scriptPath) {
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Cannot read %1").arg(scriptPath));
    return QString::fromUtf8(script.readAll());
}
} // namespace

void DatabaseBuilder::create(const QString& path, const QString& scriptPath) {
    const QString text = readScript(scriptPath);
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

QStringList DatabaseBuilder::addMissingTables(const QString& path, const QString& scriptPath) {
    static const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)\\s*\\("),
                                                QRegularExpression::CaseInsensitiveOption);
    const QStringList statements = ScriptRunner::splitStatements(readScript(scriptPath));
    Connection connection;
    connection.setDatabaseName(path);
    connection.open();
    Transaction transaction(connection);
    SingleValueHelper helper(transaction);
    QStringList added;
    for (const QString& statement : statements) {
        const QRegularExpressionMatch m = createTable.match(statement);
        if (!m.hasMatch())
            continue;
        const QString table = m.captured(1).toUpper();
        if (helper.QueryCount(QString(), QStringLiteral("RDB$RELATIONS"),
                              QStringLiteral("RDB$RELATION_NAME='%1'").arg(table)) > 0)
            continue;
        helper.ExecStatement(statement);
        transaction.commit();
        added << table;
    }
    return added;
}
