#pragma once

#include "dialer/LineDevice.h"

#include <QByteArray>
#include <QSerialPort>
#include <QTimer>

// The waits of a modem call. Tests shorten them; the program uses the defaults.
struct ModemTimings {
    int commandMs = 3000;       // a command's reply (ATZ, ATE0, ATH)
    int dialReplyMs = 60000;    // the first result after ATDT
    int redialWaitSeconds = 60; // between attempts
    int tickMs = 1000;          // one second of that wait
    int attempts = 3;
};

// A Hayes AT-command modem on a serial port, dialling voice calls: ATZ and ATE0 prepare it,
// ATDT<digits>; dials, the result codes become call states, ATH hangs up. An attempt that ends
// unanswered (busy, no carrier, no dial tone, no answer) is dialled again after a wait, up to
// three attempts. A modem that stops answering or vanishes ends the call with `failed`.
class ModemLineDevice : public LineDevice {
    Q_OBJECT
public:
    explicit ModemLineDevice(const QString& portName, QObject* parent = nullptr);
    ~ModemLineDevice() override;

    QString name() const override { return m_portName; }
    bool canPlaceCall() const override;
    void dial(const QString& digits) override;
    void cancelCall() override;
    CallState callState() const override { return m_state; }
    int secondsToRedial() const override { return m_secondsLeft; }
    int attempt() const override { return m_attempt; }

    void setTimings(const ModemTimings& timings) { m_timings = timings; }
    // The timings every new modem device starts with.
    static void setDefaultTimings(const ModemTimings& timings);
    static ModemTimings defaultTimings();

private:
    enum class Phase { Closed, Reset, Echo, Dialled, Answered, Dropping, Waiting };

    void send(const QByteArray& command, Phase next, int replyMs);
    void dialAttempt();
    void readReplies();
    void handleReply(const QByteArray& reply);
    void handleDialResult(const QByteArray& reply);
    void unanswered(CallState state);
    void tick();
    void portError(QSerialPort::SerialPortError error);
    void fail(const QString& message);
    void endCall(CallState finalState);
    void closePort(bool hangUp);
    void setState(CallState state);

    QString m_portName;
    QSerialPort m_port;
    QTimer m_replyTimer;
    QTimer m_tick;
    QByteArray m_buffer;
    QByteArray m_lastCommand;
    QString m_digits;
    ModemTimings m_timings;
    Phase m_phase = Phase::Closed;
    CallState m_state = CallState::None;
    int m_attempt = 0;
    int m_secondsLeft = 0;
};
