#include "dialer/ModemLineDevice.h"

#include "dialer/LineError.h"

#include <QFileInfo>

namespace {
ModemTimings& sharedTimings() {
    static ModemTimings timings;
    return timings;
}

// The first carriage return or line feed; modems end their results with either or both.
qsizetype lineEnd(const QByteArray& buffer) {
    for (qsizetype i = 0; i < buffer.size(); ++i) {
        if (buffer[i] == '\r' || buffer[i] == '\n')
            return i;
    }
    return -1;
}
} // namespace

ModemLineDevice::ModemLineDevice(const QString& portName, QObject* parent)
    : LineDevice(parent), m_portName(portName), m_timings(sharedTimings()) {
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this,
            [this] { fail(tr("The modem on %1 does not answer").arg(m_portName)); });
    connect(&m_tick, &QTimer::timeout, this, &ModemLineDevice::tick);
    connect(&m_port, &QSerialPort::readyRead, this, &ModemLineDevice::readReplies);
    connect(&m_port, &QSerialPort::errorOccurred, this, &ModemLineDevice::portError);
}

ModemLineDevice::~ModemLineDevice() {
    closePort(true);
}

void ModemLineDevice::setDefaultTimings(const ModemTimings& timings) {
    sharedTimings() = timings;
}

ModemTimings ModemLineDevice::defaultTimings() {
    return sharedTimings();
}

bool ModemLineDevice::canPlaceCall() const {
    return QFileInfo::exists(m_portName);
}

void ModemLineDevice::dial(const QString& digits) {
    if (m_phase != Phase::Closed)
        throw LineError(tr("A call is already in progress on %1").arg(m_portName));
    m_port.setPortName(m_portName);
    if (!m_port.open(QIODevice::ReadWrite))
        throw LineError(
            tr("The line %1 cannot be opened: %2").arg(m_portName, m_port.errorString()));
    // A pseudo-terminal accepts these as well; a real modem needs them.
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Replies left over from an earlier call must not be read as this call's.
    m_port.clear();
    m_buffer.clear();
    m_digits = digits;
    m_attempt = 0;
    m_secondsLeft = 0;
    setState(CallState::DialTone);
    send("ATZ", Phase::Reset, m_timings.commandMs);
}

void ModemLineDevice::cancelCall() {
    if (m_phase == Phase::Closed)
        return;
    closePort(true);
    m_secondsLeft = 0;
    setState(CallState::None);
}

void ModemLineDevice::send(const QByteArray& command, Phase next, int replyMs) {
    m_phase = next;
    m_lastCommand = command;
    m_port.write(command + '\r');
    if (replyMs > 0)
        m_replyTimer.start(replyMs);
    else
        m_replyTimer.stop();
}

void ModemLineDevice::dialAttempt() {
    ++m_attempt;
    m_secondsLeft = 0;
    // The trailing ';' keeps the modem in command mode: a voice call, not a data connection.
    send("ATDT" + m_digits.toLatin1() + ';', Phase::Dialled, m_timings.dialReplyMs);
    setState(CallState::Dialing);
    setState(CallState::Proceeding);
}

void ModemLineDevice::readReplies() {
    m_buffer += m_port.readAll();
    for (;;) {
        const qsizetype end = lineEnd(m_buffer);
        if (end < 0)
            break;
        const QByteArray line = m_buffer.left(end).trimmed();
        m_buffer.remove(0, end + 1);
        if (!line.isEmpty())
            handleReply(line);
        if (m_phase == Phase::Closed)
            break;
    }
}

void ModemLineDevice::handleReply(const QByteArray& reply) {
    // The command echo (before ATE0 takes effect) and unsolicited rings are not results.
    if (reply.startsWith("AT") || reply == "RING")
        return;
    switch (m_phase) {
    case Phase::Reset:
    case Phase::Echo:
        if (reply == "OK") {
            m_replyTimer.stop();
            if (m_phase == Phase::Reset)
                send("ATE0", Phase::Echo, m_timings.commandMs);
            else
                dialAttempt();
        } else if (reply == "ERROR") {
            fail(tr("The modem on %1 refused the command %2")
                     .arg(m_portName, QString::fromLatin1(m_lastCommand)));
        }
        break;
    case Phase::Dialled:
        handleDialResult(reply);
        break;
    case Phase::Answered:
        if (reply == "NO CARRIER") {
            setState(CallState::Disconnected);
            endCall(CallState::Idle);
        }
        break;
    case Phase::Dropping:
        if (reply == "OK") {
            m_replyTimer.stop();
            if (m_attempt >= m_timings.attempts) {
                endCall(CallState::Idle);
                return;
            }
            m_phase = Phase::Waiting;
            m_secondsLeft = m_timings.redialWaitSeconds;
            m_tick.start(m_timings.tickMs);
            emit status();
        }
        break;
    case Phase::Waiting:
    case Phase::Closed:
        break;
    }
}

void ModemLineDevice::handleDialResult(const QByteArray& reply) {
    m_replyTimer.stop();
    if (reply == "OK") {
        // The number went out; the call progresses until a further result or a hang-up.
        return;
    }
    if (reply.startsWith("CONNECT") || reply == "VCON") {
        m_phase = Phase::Answered;
        setState(CallState::Connected);
    } else if (reply == "BUSY") {
        unanswered(CallState::Busy);
    } else if (reply == "NO CARRIER" || reply == "NO ANSWER" || reply == "NO DIALTONE" ||
               reply == "NO DIAL TONE") {
        unanswered(CallState::Disconnected);
    } else if (reply == "ERROR") {
        fail(tr("The modem on %1 could not place the call").arg(m_portName));
    }
}

void ModemLineDevice::unanswered(CallState state) {
    setState(state);
    send("ATH", Phase::Dropping, m_timings.commandMs);
}

void ModemLineDevice::tick() {
    if (--m_secondsLeft > 0) {
        emit status();
        return;
    }
    m_tick.stop();
    dialAttempt();
}

void ModemLineDevice::portError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError ||
        m_phase == Phase::Closed)
        return;
    fail(tr("The line %1 stopped working: %2").arg(m_portName, m_port.errorString()));
}

void ModemLineDevice::fail(const QString& message) {
    if (m_phase == Phase::Closed)
        return;
    // A modem that still listens is put on hook; a vanished one is simply let go.
    const bool alive = m_port.error() == QSerialPort::NoError;
    closePort(alive);
    m_secondsLeft = 0;
    setState(CallState::None);
    emit failed(message);
}

void ModemLineDevice::endCall(CallState finalState) {
    closePort(true);
    m_secondsLeft = 0;
    setState(finalState);
}

void ModemLineDevice::closePort(bool hangUp) {
    m_replyTimer.stop();
    m_tick.stop();
    m_phase = Phase::Closed;
    if (!m_port.isOpen())
        return;
    if (hangUp) {
        m_port.write("ATH\r");
        m_port.waitForBytesWritten(500);
    }
    m_port.close();
    m_port.clearError();
}

void ModemLineDevice::setState(CallState state) {
    m_state = state;
    emit status();
}
