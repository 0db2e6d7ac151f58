#include "personal/ContactSearchRunner.h"

#include "data/DatabaseError.h"
#include "data/FbClient.h"
#include "data/FbMessage.h"

#include <QElapsedTimer>
#include <QThread>
#include <utility>

using namespace Firebird;

namespace {
// A read-only snapshot transaction of the worker: the count and the listing see one state.
class Snapshot {
public:
    explicit Snapshot(IAttachment* attachment)
        : m_transaction(
              startTransaction(attachment, {isc_tpb_read, isc_tpb_concurrency, isc_tpb_nowait})) {}

    ~Snapshot() {
        if (!m_transaction)
            return;
        FbStatus status;
        try {
            m_transaction->rollback(&status);
        } catch (const DatabaseError&) {
            m_transaction->release();
        } catch (const FbException&) {
            m_transaction->release();
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ITransaction* handle() const { return m_transaction; }

private:
    ITransaction* m_transaction = nullptr;
};

// Runs a SELECT in the snapshot and hands every row's first column to `take`.
void eachFirstValue(IAttachment* attachment, const Snapshot& snapshot, const QString& sql,
                    const std::function<void(const QVariant&)>& take) {
    FbStatus status;
    const QByteArray text = sql.toUtf8();
    IStatement* statement = nullptr;
    IResultSet* cursor = nullptr;
    FbMessage output;
    try {
        fbCall([&] {
            statement =
                attachment->prepare(&status, snapshot.handle(), unsigned(text.size()),
                                    text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
            IMessageMetadata* out = statement->getOutputMetadata(&status);
            output.setOutput(out);
            out->release();
            cursor = statement->openCursor(&status, snapshot.handle(), nullptr, nullptr,
                                           output.metadata(), 0);
            while (cursor->fetchNext(&status, output.buffer()) == IStatus::RESULT_OK)
                take(output.value(0, attachment, snapshot.handle()));
            cursor->close(&status);
            cursor = nullptr;
            statement->free(&status);
            statement = nullptr;
        });
    } catch (...) {
        if (cursor)
            cursor->release();
        if (statement)
            statement->release();
        throw;
    }
}
} // namespace

struct ContactSearchRunner::Outcome {
    enum Kind { Finished, Failed, Cancelled } kind = Cancelled;
    int count = 0;
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
    m_listed = false;
    m_outcome = std::make_shared<Outcome>();
    const quint64 generation = ++m_generation;
    m_thread = QThread::create(
        [this, request, generation, outcome = m_outcome] { work(request, *outcome, generation); });
    connect(m_thread, &QThread::finished, this, [this, generation] { done(generation); });
    m_thread->start();
}

void ContactSearchRunner::work(const Request& request, Outcome& outcome, quint64 generation) {
    try {
        if (!m_own.isOpen()) {
            // The same database, opened the same way as the main attachment.
            m_own.setDatabaseName(m_main.databaseName());
            m_own.open();
        }
        IAttachment* attachment = m_own.attachment();
        outcome.attachment = attachment;
        if (m_cancelRequested)
            return;
        const Snapshot snapshot(attachment);
        eachFirstValue(attachment, snapshot, request.countSql,
                       [&](const QVariant& v) { outcome.count = v.toInt(); });
        if (m_betweenSteps)
            m_betweenSteps();
        if (m_cancelRequested)
            return;
        int total = request.totalRows > 0 ? request.totalRows : m_totalRows;
        if (total <= 0 && outcome.count <= FewHits) {
            eachFirstValue(attachment, snapshot, QStringLiteral("SELECT COUNT(*) FROM CONT"),
                           [&](const QVariant& v) { total = v.toInt(); });
            m_totalRows = total;
        }
        if (m_cancelRequested)
            return;
        std::vector<int> batch;
        batch.reserve(size_t(FirstBatch));
        bool first = true;
        QElapsedTimer sinceSent;
        sinceSent.start();
        const auto sendBatch = [&] {
            send(generation, outcome.count, std::move(batch), first);
            batch = {};
            sinceSent.restart();
            if (first && m_afterFirstBatch)
                m_afterFirstBatch();
            first = false;
        };
        eachFirstValue(attachment, snapshot,
                       fewHits(outcome.count, total) ? request.fewKeysSql : request.manyKeysSql,
                       [&](const QVariant& v) {
                           batch.push_back(v.toInt());
                           const qsizetype n = qsizetype(batch.size());
                           if (first ? n >= FirstBatch
                                     : n >= MaxBatch || sinceSent.elapsed() >= BatchMs)
                               sendBatch();
                       });
        if (first || !batch.empty())
            sendBatch();
        outcome.kind = Outcome::Finished;
    } catch (const DatabaseError& error) {
        outcome.kind = m_cancelRequested ? Outcome::Cancelled : Outcome::Failed;
        outcome.message = error.message();
    }
    outcome.attachment = nullptr;
}

void ContactSearchRunner::send(quint64 generation, int count, std::vector<int> keys, bool first) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, count, keys = std::move(keys), first] {
            receive(generation, count, keys, first);
        },
        Qt::QueuedConnection);
}

// Keys of a search that was cancelled, stopped or replaced meanwhile are dropped.
void ContactSearchRunner::receive(quint64 generation, int count, const std::vector<int>& keys,
                                  bool first) {
    if (generation != m_generation || m_cancelRequested || first == m_listed)
        return;
    if (first) {
        m_listed = true;
        emit listed(count, keys);
    } else {
        emit moreKeys(keys);
    }
}

bool ContactSearchRunner::fewHits(int count, int totalRows) {
    return count <= FewHits && qint64(count) * FewHitsShare <= qint64(totalRows);
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
    const bool listed = std::exchange(m_listed, false);
    if (stopped) {
        if (!listed)
            emit cancelled();
    } else if (outcome->kind == Outcome::Failed) {
        emit failed(outcome->message);
    } else {
        emit finished();
    }
}

void ContactSearchRunner::stop() {
    if (m_thread) {
        cancel();
        m_thread->wait();
        done(m_generation);
    }
    ++m_generation; // keys still on their way belong to nobody now
    m_own.close();
}
