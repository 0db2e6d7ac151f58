#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A timer for the update check and download: its first run comes at once when it is enabled,
// or once the interval since its previous run has passed when it was disabled sooner; each
// later run comes one interval after the previous run has finished, so a run that waits for
// the service never overlaps the next.
class UpdateTimer : public QObject {
    Q_OBJECT
public:
    explicit UpdateTimer(QObject* parent = nullptr);

    // A negative interval keeps the timer off (tests that count other requests).
    void setInterval(int ms) { m_interval = ms; }
    int interval() const { return m_interval; }
    // Enables the timer; enabling an enabled timer changes nothing.
    void start();
    // Disables the timer; a run under way finishes, and no further run follows.
    void stop();
    bool isActive() const { return m_enabled; }
    // True while the handler runs.
    bool isRunning() const { return m_running; }

signals:
    void timeout();

private:
    void fire();
    void schedule(int delay);

    QTimer m_timer;
    QElapsedTimer m_lastRun;
    int m_interval = 30000;
    bool m_enabled = false;
    bool m_running = false;
};
