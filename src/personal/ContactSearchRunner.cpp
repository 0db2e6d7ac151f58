#include "personal/ContactSearchRunner.h"

#include "data/DatabaseError.h"
#include "data/FbClient.h"
#include "data/Query.h"
#include "data/Transaction.h"

#include <QThread>

struct ContactSearchRunner::Outcome {
    enum Kind { Finished, Failed, Cancelled } kind = Cancelled;
    int count = 0;
    std::vector<int> keys;
    QString message;
    // The worker's attachment while it works, for the cancel operation.
    std::atomic<Firebird::IAttachment*> attachment{nullptr};
};

ContactSearchRunner::ContactSearchRunner(Connection& main, QObject* parent)
    : QObject(parent), m_main(main) {
    // A restore closes the main attachment to replace the file: this one must let it go too.
    m_main.addCloseListener(this, [this] { stop(); });
}

ContactSearchRunner::~ContactSearchRunner() {
    m_main.removeCloseListener(this);
    stop();
}

void ContactSearchRunner::start(const Request& request) {
    if (m_thread)
        return;
    m_cancelRequested = false;
    m_outcome = std::make_shared<Outcome>();
    const quint64 generation = ++m_generation;
    m_thread = QThread::create([this, request, outcome = m_outcome] { work(request, *outcome); });
    connect(m_thread, &QThread::finished, this, [this, generation] { done(generation); });
    m_thread->start();
}

void ContactSearchRunner::work(const Request& request, Outcome& outcome) {
    try {
        if (!m_own.isOpen()) {
            // The same database, opened the same way as the main attachment.
            m_own.setDatabaseName(m_main.databaseName());
            m_own.open();
        }
        outcome.attachment = m_own.attachment();
        if (m_cancelRequested)
            return;
        Transaction snapshot(m_own, Transaction::Isolation::Snapshot);
        Query count(snapshot);
        count.setSql(request.countSql);
        count.open();
        outcome.count = count.eof() ? 0 : count.value(0).toInt();
        count.close();
        if (m_betweenSteps)
            m_betweenSteps();
        if (m_cancelRequested)
            return;
        Query keys(snapshot);
        keys.setSql(outcome.count <= FewHits ? request.fewKeysSql : request.manyKeysSql);
        outcome.keys.reserve(size_t(outcome.count));
        for (keys.open(); !keys.eof(); keys.next())
            outcome.keys.push_back(keys.value(0).toInt());
        keys.close();
        snapshot.commit();
        outcome.kind = Outcome::Finished;
    } catch (const DatabaseError& error) {
        outcome.kind = m_cancelRequested ? Outcome::Cancelled : Outcome::Failed;
        outcome.message = error.message();
    }
    outcome.attachment = nullptr;
}

void ContactSearchRunner::cancel() {
    if (!m_thread || m_cancelRequested.exchange(true))
        return;
    if (Firebird::IAttachment* attachment = m_outcome->attachment) {
        FbStatus status;
        try {
            fbCall([&] { attachment->cancelOperation(&status, fb_cancel_raise); });
        } catch (const DatabaseError&) {
            // Nothing was running on it: the worker sees the request between its steps.
        }
    }
}

void ContactSearchRunner::done(quint64 generation) {
    if (generation != m_generation || !m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    std::shared_ptr<Outcome> outcome = std::move(m_outcome);
    const bool stopped = m_cancelRequested || outcome->kind == Outcome::Cancelled;
    if (stopped || outcome->kind == Outcome::Failed) {
        // A raised cancel can outlive the statement it was meant for: start afresh next time.
        m_own.close();
    }
    if (stopped)
        emit cancelled();
    else if (outcome->kind == Outcome::Failed)
        emit failed(outcome->message);
    else
        emit finished(outcome->count, outcome->keys);
}

void ContactSearchRunner::stop() {
    if (m_thread) {
        cancel();
        m_thread->wait();
        done(m_generation);
    }
    m_own.close();
}
