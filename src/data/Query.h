#pragma once

#include "data/FbMessage.h"
#include "data/SqlText.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

namespace Firebird {
class IStatement;
class IResultSet;
} // namespace Firebird
class Connection;
class Transaction;

// A statement object bound to a connection and transaction, with named ":NAME" parameters
// and a forward cursor that fetches rows on demand (CAT_Q, CAT_C, QD, QC, HOTSQL, ...).
class Query {
public:
    explicit Query(Transaction& transaction);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void setSql(const QString& sql);
    QString sql() const { return m_sql; }

    // Parameter names are matched ignoring case, with or without the leading ':'.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    QStringList paramNames() const { return m_parsed.params; }

    // Runs a SELECT and positions on its first row (eof() when there is none).
    void open();
    // Moves to the next row; false (and eof()) past the last one.
    bool next();
    bool isOpen() const { return m_cursor != nullptr; }
    bool eof() const { return m_eof; }
    void close();

    // Runs a statement that returns no cursor; answers the number of rows it changed.
    int execute();

    int fieldCount() const;
    QString fieldName(int i) const;
    int fieldIndex(const QString& name) const; // -1 when absent
    int fieldLength(int i) const;
    QVariant value(int i) const;
    QVariant value(const QString& name) const;

    Transaction& transaction() const { return m_transaction; }

private:
    void prepare();
    void unprepare();
    std::vector<QVariant> inputValues() const;
    bool fetch();

    Transaction& m_transaction;
    QString m_sql;
    SqlText m_parsed;
    QHash<QString, QVariant> m_params;
    Firebird::IStatement* m_statement = nullptr;
    Firebird::IResultSet* m_cursor = nullptr;
    FbMessage m_input;
    FbMessage m_output;
    bool m_eof = true;
};
