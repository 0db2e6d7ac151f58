#pragma once

namespace Firebird {
class ITransaction;
}
class Connection;

// The long-lived "read_committed", "rec_version", "nowait" transaction of a connection (DTR).
// It starts by itself with the first statement and is ended only by rollback at the end.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Connection& connection() const { return m_connection; }

    // The engine's transaction, started on first use.
    Firebird::ITransaction* handle();
    bool isActive() const { return m_transaction != nullptr; }

    // Makes the work so far permanent and keeps the transaction (and open cursors) alive.
    void CommitRetaining();
    // Ends the transaction; a new one starts with the next statement.
    void commit();
    void rollback();

private:
    void forget();
    Connection& m_connection;
    Firebird::ITransaction* m_transaction = nullptr;
};
