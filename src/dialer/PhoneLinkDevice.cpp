#include "dialer/PhoneLinkDevice.h"

#include "dialer/LineError.h"
#include "platform/Shell.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
std::optional<bool>& handlerOverride() {
    static std::optional<bool> present;
    return present;
}

// xdg-mime names the desktop's default program for the scheme, or nothing.
bool desktopHasTelHandler() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("x-scheme-handler/tel")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

PhoneLinkDevice::PhoneLinkDevice(QObject* parent) : LineDevice(parent) {
    m_handOver.setSingleShot(true);
    m_handOver.setInterval(3000);
    connect(&m_handOver, &QTimer::timeout, this, [this] { setState(CallState::Idle); });
}

void PhoneLinkDevice::setHandlerOverride(std::optional<bool> present) {
    handlerOverride() = present;
}

bool PhoneLinkDevice::canPlaceCall() const {
    if (handlerOverride())
        return *handlerOverride();
    return desktopHasTelHandler();
}

void PhoneLinkDevice::dial(const QString& digits) {
    if (m_handOver.isActive())
        throw LineError(tr("A call is already in progress on %1").arg(DeviceName));
    if (!Shell::open(QUrl(QStringLiteral("tel:") + digits)))
        throw LineError(tr("The desktop could not hand the number to a phone program"));
    setState(CallState::Proceeding);
    m_handOver.start();
}

void PhoneLinkDevice::cancelCall() {
    if (!m_handOver.isActive())
        return;
    m_handOver.stop();
    setState(CallState::None);
}

void PhoneLinkDevice::setState(CallState state) {
    m_state = state;
    emit status();
}
