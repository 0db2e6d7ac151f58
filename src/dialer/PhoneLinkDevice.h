#pragma once

#include "dialer/LineDevice.h"

#include <QTimer>
#include <optional>

// The "Phone link (tel:)" line: hands the number to the desktop's tel: handler (a paired
// phone, a softphone) through the shell helper, then reports the call as proceeding and, a
// moment later, as idle, since the handler tells nothing further.
class PhoneLinkDevice : public LineDevice {
    Q_OBJECT
public:
    static inline const QString DeviceName = QStringLiteral("Phone link (tel:)");

    explicit PhoneLinkDevice(QObject* parent = nullptr);

    QString name() const override { return DeviceName; }
    // Whether the desktop has a program for tel: addresses.
    bool canPlaceCall() const override;
    void dial(const QString& digits) override;
    void cancelCall() override;
    CallState callState() const override { return m_state; }

    // How long the call shows as proceeding after the hand-over.
    void setHandOverMs(int ms) { m_handOver.setInterval(ms); }
    // Tests decide whether a tel: handler exists; unset asks the desktop.
    static void setHandlerOverride(std::optional<bool> present);

private:
    void setState(CallState state);

    QTimer m_handOver;
    CallState m_state = CallState::None;
};
