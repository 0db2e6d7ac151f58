#pragma once

#include <QString>

class Transaction;

// Runs one statement at a time and answers one value (MM, SYS_MM). Nothing is committed.
class SingleValueHelper {
public:
    explicit SingleValueHelper(Transaction& transaction) : m_transaction(transaction) {}

    // First column of the first row as an integer; 0 for no row or NULL.
    // A text that is not a whole number raises a DatabaseError.
    int QueryInteger(const QString& expression, const QString& table,
                     const QString& condition = QString());
    // First column of the first row as text; empty for no row or NULL.
    QString QueryText(const QString& expression, const QString& table,
                      const QString& condition = QString());
    // COUNT(column), or COUNT(*) when no column is given.
    int QueryCount(const QString& column, const QString& table,
                   const QString& condition = QString());
    // Runs the statement text unchanged; answers the number of rows it affected.
    int ExecStatement(const QString& statement);

    Transaction& transaction() const { return m_transaction; }

    // The statement text the query operations run.
    static QString selectText(const QString& expression, const QString& table,
                              const QString& condition);

private:
    Transaction& m_transaction;
};
