#pragma once

#include "dialer/CallState.h"

#include <QObject>
#include <QString>

// A telephone line that can place one outgoing call at a time: a modem on a serial port or the
// desktop's tel: handler. Status events arrive on the thread that owns the device.
class LineDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The name offered in the device choice.
    virtual QString name() const = 0;
    // Whether the device can place a voice call now (its port exists, a handler is present).
    virtual bool canPlaceCall() const = 0;
    // Places a call to the digits; throws LineError when it cannot be started.
    virtual void dial(const QString& digits) = 0;
    // Drops the call and any pending redial; harmless without a call.
    virtual void cancelCall() = 0;
    virtual CallState callState() const = 0;
    // During a wait between attempts: the seconds left and the attempt that follows.
    virtual int secondsToRedial() const { return 0; }
    virtual int attempt() const { return 0; }

signals:
    // Every change of call state and every second of a wait between attempts.
    void status();
    // A call ended by a fault (the modem stopped answering, the port vanished); sent once.
    void failed(const QString& message);
};
