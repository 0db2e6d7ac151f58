#pragma once

#include "dialer/CallState.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class LineDevice;

// The dialer's telephony object TAPI: offers the line devices (the serial ports the system
// lists, the serial devices named in the settings, the phone link), chooses one at the first
// dial of the run and passes dial, cancel and status through to it.
class Telephony : public QObject {
    Q_OBJECT
public:
    // Asked when more than one device can place the call: answers the chosen index, or -1.
    using Chooser = std::function<int(const QStringList& names)>;

    // `extraPorts`: serial devices that enumeration does not list (DIALER\PORTS).
    explicit Telephony(const QStringList& extraPorts, QObject* parent = nullptr);
    ~Telephony() override;

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    // Chooses a device when none is chosen yet, then dials; throws LineError.
    void dial(const QString& digits);
    void cancelCall();
    // The current call's state; None when there is no call or no device yet.
    CallState callState() const;
    // The device chosen for this run, or null.
    LineDevice* device() const { return m_chosen; }
    // The names of the devices that can place a call now, in the order offered.
    QStringList availableNames();

    // Tests replace the serial ports the system lists; unset asks the system.
    static void setSystemPortsOverride(std::optional<QStringList> ports);

signals:
    void status();
    void failed(const QString& message);

private:
    QList<LineDevice*> candidates();
    LineDevice* deviceFor(const QString& name);
    LineDevice* choose();

    QStringList m_extraPorts;
    std::vector<std::unique_ptr<LineDevice>> m_devices;
    LineDevice* m_chosen = nullptr;
    Chooser m_chooser;
};
