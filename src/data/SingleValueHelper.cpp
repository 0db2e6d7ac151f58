#include "data/SingleValueHelper.h"

#include "data/DatabaseError.h"
#include "data/Query.h"

QString SingleValueHelper::selectText(const QString& expression, const QString& table,
                                      const QString& condition) {
    QString sql = QStringLiteral("SELECT ") + expression + QStringLiteral(" FROM ") + table;
    if (!condition.isEmpty())
        sql += QStringLiteral(" WHERE ") + condition;
    return sql;
}

int SingleValueHelper::QueryInteger(const QString& expression, const QString& table,
                                    const QString& condition) {
    Query query(m_transaction);
    query.setSql(selectText(expression, table, condition));
    query.open();
    const QVariant v = query.value(0);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw DatabaseError(
                QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return n;
    }
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < INT_MIN || n > INT_MAX)
        throw DatabaseError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return int(n);
}

QString SingleValueHelper::QueryText(const QString& expression, const QString& table,
                                     const QString& condition) {
    Query query(m_transaction);
    query.setSql(selectText(expression, table, condition));
    query.open();
    const QVariant v = query.value(0);
    return v.isNull() ? QString() : v.toString();
}

int SingleValueHelper::QueryCount(const QString& column, const QString& table,
                                  const QString& condition) {
    const QString expression =
        QStringLiteral("COUNT(") + (column.isEmpty() ? QStringLiteral("*") : column) + u')';
    return QueryInteger(expression, table, condition);
}

int SingleValueHelper::ExecStatement(const QString& statement) {
    Query query(m_transaction);
    query.setSql(statement);
    return query.execute();
}
