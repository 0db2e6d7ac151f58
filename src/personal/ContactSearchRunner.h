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
// count always agrees with the listing. Only the keys of the listed contacts come back; a
// running search can be cancelled through the engine's cancel operation.
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
    static bool fewHits(int count, int totalRows);

    // `main` is the program's attachment: the worker opens the same database the same way, and
    // lets its own attachment go whenever the main one closes (a restore replaces the file).
    explicit ContactSearchRunner(Connection& main, QObject* parent = nullptr);
    ~ContactSearchRunner() override;

    // Starts a search; one of finished, failed or cancelled follows on this object's thread.
    // Ignored while a search runs.
    void start(const Request& request);
    // Asks the engine to stop the running search; cancelled follows.
    void cancel();
    bool isRunning() const { return m_thread != nullptr; }
    // Cancels a running search and waits for the worker; the attachment is closed.
    void stop();
    // For tests: runs on the worker between the count and the listing.
    void setBetweenSteps(std::function<void()> hook) { m_betweenSteps = std::move(hook); }

signals:
    void finished(int count, const std::vector<int>& keys);
    void failed(const QString& message);
    void cancelled();

private:
    struct Outcome;
    void work(const Request& request, Outcome& outcome);
    void done(quint64 generation);

    Connection& m_main;
    Connection m_own;
    QThread* m_thread = nullptr;
    quint64 m_generation = 0;
    std::atomic<bool> m_cancelRequested{false};
    std::shared_ptr<Outcome> m_outcome;
    std::function<void()> m_betweenSteps;
    int m_totalRows = 0; // counted by the worker when the page did not know it
};
