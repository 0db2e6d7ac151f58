#include "data/Transaction.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/FbClient.h"

using namespace Firebird;

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    // The connection closing (restore, end of process) rolls the transaction back first.
    m_connection.addCloseListener(this, [this] {
        try {
            rollback();
        } catch (const DatabaseError&) {
            forget();
        }
    });
}

Transaction::~Transaction() {
    m_connection.removeCloseListener(this);
    try {
        rollback();
    } catch (const DatabaseError&) {
        forget();
    }
}

ITransaction* Transaction::handle() {
    if (m_transaction)
        return m_transaction;
    m_transaction =
        startTransaction(m_connection.attachment(), {isc_tpb_write, isc_tpb_read_committed,
                                                     isc_tpb_rec_version, isc_tpb_nowait});
    return m_transaction;
}

void Transaction::CommitRetaining() {
    if (!m_transaction)
        return;
    FbStatus status;
    fbCall([&] { m_transaction->commitRetaining(&status); });
}

void Transaction::commit() {
    if (!m_transaction)
        return;
    FbStatus status;
    fbCall([&] { m_transaction->commit(&status); });
    m_transaction = nullptr;
}

void Transaction::rollback() {
    if (!m_transaction)
        return;
    FbStatus status;
    ITransaction* transaction = m_transaction;
    try {
        fbCall([&] { transaction->rollback(&status); });
    } catch (...) {
        forget();
        throw;
    }
    m_transaction = nullptr;
}

void Transaction::forget() {
    if (m_transaction)
        m_transaction->release();
    m_transaction = nullptr;
}
