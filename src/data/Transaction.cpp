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
    FbClient& fb = FbClient::instance();
    FbStatus status;
    IAttachment* attachment = m_connection.attachment();
    fbCall([&] {
        IXpbBuilder* tpb = fb.util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&status, isc_tpb_write);
        tpb->insertTag(&status, isc_tpb_read_committed);
        tpb->insertTag(&status, isc_tpb_rec_version);
        tpb->insertTag(&status, isc_tpb_nowait);
        try {
            m_transaction = attachment->startTransaction(&status, tpb->getBufferLength(&status),
                                                         tpb->getBuffer(&status));
        } catch (...) {
            tpb->dispose();
            throw;
        }
        tpb->dispose();
    });
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
