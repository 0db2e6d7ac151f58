#include "dialer/Telephony.h"

#include "dialer/LineError.h"
#include "dialer/ModemLineDevice.h"
#include "dialer/PhoneLinkDevice.h"

#include <QSerialPortInfo>

namespace {
std::optional<QStringList>& portsOverride() {
    static std::optional<QStringList> ports;
    return ports;
}

QStringList systemPorts() {
    if (portsOverride())
        return *portsOverride();
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    return ports;
}
} // namespace

Telephony::Telephony(const QStringList& extraPorts, QObject* parent)
    : QObject(parent), m_extraPorts(extraPorts) {}

Telephony::~Telephony() = default;

void Telephony::setSystemPortsOverride(std::optional<QStringList> ports) {
    portsOverride() = std::move(ports);
}

LineDevice* Telephony::deviceFor(const QString& name) {
    for (const auto& device : m_devices) {
        if (device->name() == name)
            return device.get();
    }
    std::unique_ptr<LineDevice> device;
    if (name == PhoneLinkDevice::DeviceName)
        device = std::make_unique<PhoneLinkDevice>();
    else
        device = std::make_unique<ModemLineDevice>(name);
    connect(device.get(), &LineDevice::status, this, [this, d = device.get()] {
        if (d == m_chosen)
            emit status();
    });
    connect(device.get(), &LineDevice::failed, this, [this, d = device.get()](const QString& m) {
        if (d == m_chosen)
            emit failed(m);
    });
    m_devices.push_back(std::move(device));
    return m_devices.back().get();
}

QList<LineDevice*> Telephony::candidates() {
    QStringList names = systemPorts();
    for (const QString& port : m_extraPorts) {
        if (!port.trimmed().isEmpty() && !names.contains(port.trimmed()))
            names << port.trimmed();
    }
    names << PhoneLinkDevice::DeviceName;
    QList<LineDevice*> result;
    for (const QString& name : names) {
        LineDevice* device = deviceFor(name);
        if (device->canPlaceCall())
            result << device;
    }
    return result;
}

QStringList Telephony::availableNames() {
    QStringList names;
    for (LineDevice* device : candidates())
        names << device->name();
    return names;
}

LineDevice* Telephony::choose() {
    const QList<LineDevice*> devices = candidates();
    if (devices.isEmpty())
        throw LineError(tr("No telephone line is available: connect a modem, or name its serial "
                           "device under DIALER\\PORTS in settings.xml"));
    if (devices.size() == 1)
        return devices.first();
    QStringList names;
    for (LineDevice* device : devices)
        names << device->name();
    const int index = m_chooser ? m_chooser(names) : -1;
    if (index < 0 || index >= devices.size())
        throw LineError(tr("No telephone line was chosen"));
    return devices.at(index);
}

void Telephony::dial(const QString& digits) {
    if (!m_chosen)
        m_chosen = choose();
    m_chosen->dial(digits);
}

void Telephony::cancelCall() {
    if (m_chosen)
        m_chosen->cancelCall();
}

CallState Telephony::callState() const {
    return m_chosen ? m_chosen->callState() : CallState::None;
}
