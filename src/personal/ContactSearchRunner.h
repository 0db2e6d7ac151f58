#pragma once

#include "data/Connection.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QThread;

// Runs a personal search's count and listing on a second attachment of the data database in a
// worker thread, in one snapshot, so the window keeps painting while the engine works and the
// count always agrees with the listing. Only the keys of the listed contacts come back, the
// first ones as soon as they are read (listed) and the rest in batches (moreKeys), so a search
// with many hits shows its first rows as quickly as one with few. A search can be cancelled
// through the engine's cancel operation until it has listed.
class ContactSearchRunner : public QObject {
    Q_OBJECT
public:
    // A search: the count statement and the statements listing the keys in listing order, one
    // for few hits (sorted after a scan) and one for many (in the order of the name index).
    struct Request {
        QString countSql;
        QString fewKeysSql;
        QString manyKeysSql;
        // Every contact, when known (the last listing of folder 1); 0: counted here once.
        int totalRows = 0;
    };
    // Hits up to one in FewHitsShare of all contacts, and at most FewHits, are listed with
    // fewKeysSql: sorting costs more per row than walking the name index, so the scan pays
    // only when few rows match (and the sort stays in memory).
    static constexpr int FewHits = 50000;
    static constexpr int FewHitsShare = 20;
    // Keys in the first batch (a screenful and more); later batches go every BatchMs or at
    // MaxBatch keys, whichever comes first.
    static constexpr int FirstBatch = 256;
    static constexpr int BatchMs = 100;
    static constexpr int MaxBatch = 65536;
    static bool fewHits(int count, int totalRows);

    // `main` is the program's attachment: the worker opens the same database the same way, and
    // lets its own attachment go whenever the main one closes (a restore replaces the file).
    explicit ContactSearchRunner(Connection& main, QObject* parent = nullptr);
    ~ContactSearchRunner() override;

    // Starts a search; on this object's thread either listed (then moreKeys, and finished or
    // failed), or failed or cancelled follows. Ignored while a search runs.
    void start(const Request& request);
    // Asks the engine to stop the running search: cancelled follows when it had not listed;
    // after it listed, the rest of its keys are no longer read and nothing follows.
    void cancel();
    bool isRunning() const { return m_thread != nullptr; }
    // Running and not yet listed: the user waits for it.
    bool isSearching() const { return m_thread != nullptr && !m_listed; }
    // Cancels a running search and waits for the worker; the attachment is closed.
    void stop();
    // For tests: runs on the worker between the count and the listing.
    void setBetweenSteps(std::function<void()> hook) { m_betweenSteps = std::move(hook); }
    // For tests: runs on the worker after the first batch of keys was sent.
    void setAfterFirstBatch(std::function<void()> hook) { m_afterFirstBatch = std::move(hook); }

signals:
    // The count and the first keys in listing order (all of them when few).
    void listed(int count, const std::vector<int>& keys);
    // The next keys in listing order.
    void moreKeys(const std::vector<int>& keys);
    // Every key has been given.
    void finished();
    void failed(const QString& message);
    void cancelled();

private:
    struct Outcome;
    void work(const Request& request, Outcome& outcome, quint64 generation);
    void readKeys(const Request& request, Outcome& outcome, quint64 generation);
    // Hands keys read by the worker to this object's thread.
    void send(quint64 generation, int count, std::vector<int> keys, bool first);
    void receive(quint64 generation, int count, const std::vector<int>& keys, bool first);
    void done(quint64 generation);

    Connection& m_main;
    Connection m_own;
    QThread* m_thread = nullptr;
    quint64 m_generation = 0;
    std::atomic<bool> m_cancelRequested{false};
    std::shared_ptr<Outcome> m_outcome;
    std::function<void()> m_betweenSteps;
    std::function<void()> m_afterFirstBatch;
    bool m_listed = false; // the running search's first keys were given
    int m_totalRows = 0;   // counted by the worker when the page did not know it
};
