#pragma once

namespace Firebird {
class ITransaction;
}
class Connection;

// The long-lived "read_committed", "rec_version", "nowait" transaction of a connection (DTR),
// or a read-only snapshot of a worker. It starts by itself with the first statement.
class Transaction {
public:
    // ReadCommitted: read and write, sees what others commit. Snapshot: read only, sees the
    // database as it was when the transaction started.
    enum class Isolation { ReadCommitted, Snapshot };

    explicit Transaction(Connection& connection, Isolation isolation = Isolation::ReadCommitted);
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
    Isolation m_isolation;
    Firebird::ITransaction* m_transaction = nullptr;
};
