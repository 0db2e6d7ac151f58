#pragma once

#include <QString>
#include <functional>

// One backup or restore run by the embedded engine's services manager ("service_mgr") with
// verbose output. The service is driven on a worker thread of its own; the calling thread
// receives each output line in order and keeps its window painting while it waits.
class ServiceJob {
public:
    enum class Action { Backup, Restore };

    using LineHandler = std::function<void(const QString& line)>;
    using Pump = std::function<void()>;

    ServiceJob(Action action, QString database, QString backupFile);

    // Runs the service to its end. `onLine` gets every output line on the calling thread;
    // `pump` runs repeatedly while the caller waits (default: pending events other than user
    // input are processed). Throws DatabaseError when the service cannot run or fails.
    void run(const LineHandler& onLine, const Pump& pump = {});

    // The pump used when none is given: paints, timers and signals, but no user input.
    static void processPendingEvents();

private:
    struct Shared;
    void serve(Shared& shared) const;

    Action m_action;
    QString m_database;
    QString m_backupFile;
};
