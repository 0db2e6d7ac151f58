#include "online/UpdateTimer.h"

UpdateTimer::UpdateTimer(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &UpdateTimer::fire);
}

void UpdateTimer::start() {
    if (m_enabled || m_interval < 0)
        return;
    m_enabled = true;
    if (m_running)
        return; // the run under way schedules the next one when it ends
    const qint64 since = m_lastRun.isValid() ? m_lastRun.elapsed() : m_interval;
    schedule(int(qMax<qint64>(0, m_interval - since)));
}

void UpdateTimer::stop() {
    m_enabled = false;
    m_timer.stop();
}

void UpdateTimer::schedule(int delay) {
    m_timer.start(delay);
}

void UpdateTimer::fire() {
    if (!m_enabled)
        return;
    m_running = true;
    emit timeout();
    m_running = false;
    m_lastRun.start();
    if (m_enabled)
        schedule(m_interval);
}
