// Line devices: the modem device against the simulator on a real pseudo-terminal (results to
// call states, redial with its waits, cancel, a silent or vanished modem), the phone link, and
// the device choice of the telephony object.
#include "ModemSimProcess.h"
#include "dialer/LineError.h"
#include "dialer/ModemLineDevice.h"
#include "dialer/PhoneLinkDevice.h"
#include "dialer/Telephony.h"
#include "platform/Shell.h"

#include <QtTest>

namespace {
// Waits shortened so that three attempts take a fraction of a second.
ModemTimings quickTimings() {
    ModemTimings t;
    t.commandMs = 2000;
    t.dialReplyMs = 2000;
    t.redialWaitSeconds = 3;
    t.tickMs = 10;
    return t;
}

// The states a device goes through (repeats left out), its waits and its errors.
struct Recorder {
    explicit Recorder(LineDevice& device) {
        QObject::connect(&device, &LineDevice::status, [this, &device] {
            if (states.isEmpty() || states.last() != device.callState())
                states << device.callState();
            if (device.secondsToRedial() > 0)
                waits << device.secondsToRedial();
        });
        QObject::connect(&device, &LineDevice::failed,
                         [this](const QString& message) { errors << message; });
    }
    QList<CallState> states;
    QList<int> waits;
    QStringList errors;
};

int count(const QStringList& lines, const QString& line) {
    return int(lines.count(line));
}
} // namespace

class LineDevicesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ModemLineDevice::setDefaultTimings(quickTimings()); }
    void cleanup() {
        ModemLineDevice::setDefaultTimings(ModemTimings());
        Telephony::setSystemPortsOverride(std::nullopt);
        PhoneLinkDevice::setHandlerOverride(std::nullopt);
        Shell::setObserver({});
    }

    void answeredCallConnectsAndHangsUpOnCancel() {
        ModemSimProcess sim({"--default", "answer:50"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("0425551234");
        QTRY_COMPARE(modem.callState(), CallState::Connected);
        QCOMPARE(sim.received(), QStringList({"ATZ", "ATE0", "ATDT0425551234;"}));
        QCOMPARE(r.states.mid(0, 3), QList<CallState>({CallState::DialTone, CallState::Dialing,
                                                       CallState::Proceeding}));
        modem.cancelCall();
        QCOMPARE(modem.callState(), CallState::None);
        QTRY_COMPARE(sim.received().last(), QStringLiteral("ATH"));
        QVERIFY(r.errors.isEmpty());
        modem.cancelCall(); // harmless without a call
    }

    void farEndHangingUpEndsTheCall() {
        ModemSimProcess sim({"--default", "answer:20:50"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("5551234");
        QTRY_COMPARE(modem.callState(), CallState::Idle);
        QVERIFY(r.states.contains(CallState::Connected));
        QCOMPARE(r.states.mid(r.states.size() - 2),
                 QList<CallState>({CallState::Disconnected, CallState::Idle}));
        QCOMPARE(count(sim.received(), "ATDT5551234;"), 1); // an answered call is not redialled
        QVERIFY(r.errors.isEmpty());
    }

    void unansweredAttemptsAreRedialledThreeTimesInAll_data() {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<CallState>("endOfAttempt");
        QTest::newRow("busy") << "busy:10" << CallState::Busy;
        QTest::newRow("no carrier") << "nocarrier:10" << CallState::Disconnected;
        QTest::newRow("no dial tone") << "nodialtone:10" << CallState::Disconnected;
        QTest::newRow("no answer") << "noanswer:30" << CallState::Disconnected;
    }
    void unansweredAttemptsAreRedialledThreeTimesInAll() {
        QFETCH(QString, outcome);
        QFETCH(CallState, endOfAttempt);
        ModemSimProcess sim({"--outcome", "5551234=" + outcome});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("5551234");
        QTRY_COMPARE(modem.callState(), CallState::Idle);
        QCOMPARE(count(sim.received(), "ATDT5551234;"), 3);
        QCOMPARE(modem.attempt(), 3);
        QCOMPARE(r.states.count(endOfAttempt), 3);
        // Two waits, each reporting every "second": 3, 2, 1.
        QCOMPARE(r.waits, QList<int>({3, 2, 1, 3, 2, 1}));
        QVERIFY(r.errors.isEmpty());
        QTRY_COMPARE(sim.received().last(), QStringLiteral("ATH"));
    }

    void cancelDuringTheWaitStopsTheRedial() {
        ModemTimings t = quickTimings();
        t.redialWaitSeconds = 1000; // a wait that outlasts the test
        ModemLineDevice::setDefaultTimings(t);
        ModemSimProcess sim({"--default", "busy:10"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("111");
        QTRY_VERIFY(modem.secondsToRedial() > 0);
        modem.cancelCall();
        QCOMPARE(modem.callState(), CallState::None);
        QCOMPARE(modem.secondsToRedial(), 0);
        QTRY_COMPARE(sim.received().count("ATH"), 2); // after the busy line, and on cancel
        QCOMPARE(count(sim.received(), "ATDT111;"), 1);
    }

    void silentModemEndsInOneErrorAndTheNextDialWorks() {
        ModemTimings t = quickTimings();
        t.commandMs = 200;
        ModemLineDevice::setDefaultTimings(t);
        ModemSimProcess sim({"--mute"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("5551234");
        QTRY_COMPARE(r.errors.size(), 1);
        QVERIFY2(r.errors.first().contains("does not answer"), qPrintable(r.errors.first()));
        QCOMPARE(modem.callState(), CallState::None);
        // The simulator's log is another process's writing: it may come a moment later.
        QTRY_COMPARE(sim.received(), QStringList({"ATZ", "ATH"}));

        // A modem that takes the commands but never reports on the number.
        QVERIFY(sim.start({"--default", "silent"}));
        modem.dial("5551234");
        QTRY_COMPARE(r.errors.size(), 2);
        QCOMPARE(modem.callState(), CallState::None);

        QVERIFY(sim.start({"--default", "answer:10"}));
        modem.dial("5551234");
        QTRY_COMPARE(modem.callState(), CallState::Connected);
        QCOMPARE(r.errors.size(), 2);
    }

    void modemRefusingTheNumberIsAnError() {
        ModemSimProcess sim({"--default", "error"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("5551234");
        QTRY_COMPARE(r.errors.size(), 1);
        QVERIFY2(r.errors.first().contains("could not place the call"),
                 qPrintable(r.errors.first()));
        QCOMPARE(modem.callState(), CallState::None);
    }

    void vanishedModemEndsTheCallOnce() {
        ModemSimProcess sim({"--default", "answer:10"});
        ModemLineDevice modem(sim.port());
        Recorder r(modem);
        modem.dial("5551234");
        QTRY_COMPARE(modem.callState(), CallState::Connected);
        sim.kill();
        QTRY_COMPARE(r.errors.size(), 1);
        QVERIFY2(r.errors.first().contains(sim.port()), qPrintable(r.errors.first()));
        QCOMPARE(modem.callState(), CallState::None);
        QTest::qWait(50); // a hung-up terminal must not keep reporting
        QCOMPARE(r.errors.size(), 1);

        // The same link, a new simulator: the device dials again.
        QVERIFY(sim.start({"--default", "answer:10"}));
        modem.dial("5551234");
        QTRY_COMPARE(modem.callState(), CallState::Connected);
    }

    void portsThatCannotBeOpenedRaiseAnError() {
        QTemporaryDir dir;
        QFile plain(dir.path() + "/not-a-tty");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        for (const QString& port : {dir.path() + "/missing", plain.fileName()}) {
            ModemLineDevice modem(port);
            try {
                modem.dial("5551234");
                QFAIL("no error");
            } catch (const LineError& e) {
                QVERIFY2(QString::fromLocal8Bit(e.what()).contains("cannot be opened"), e.what());
            }
            QCOMPARE(modem.callState(), CallState::None);
        }
    }

    void secondDialDuringACallIsRefused() {
        ModemSimProcess sim({"--default", "answer:10"});
        ModemLineDevice modem(sim.port());
        modem.dial("5551234");
        QVERIFY_THROWS_EXCEPTION(LineError, modem.dial("5551234"));
        QTRY_COMPARE(modem.callState(), CallState::Connected);
        modem.cancelCall();
    }

    void phoneLinkHandsTheNumberToTheDesktop() {
        QList<QUrl> opened;
        Shell::setObserver([&](const QUrl& url) { opened << url; });
        PhoneLinkDevice link;
        link.setHandOverMs(20);
        Recorder r(link);
        link.dial("0425551234");
        QCOMPARE(opened, QList<QUrl>({QUrl("tel:0425551234")}));
        QCOMPARE(link.callState(), CallState::Proceeding);
        QTRY_COMPARE(link.callState(), CallState::Idle);
        QCOMPARE(r.states, QList<CallState>({CallState::Proceeding, CallState::Idle}));
    }

    void deviceChoice() {
        Telephony::setSystemPortsOverride(QStringList());
        PhoneLinkDevice::setHandlerOverride(false);
        Shell::setObserver([](const QUrl&) {});
        {
            Telephony tapi({"/nonexistent/ttyX"});
            QVERIFY_THROWS_EXCEPTION(LineError, tapi.dial("5551234"));
            QCOMPARE(tapi.callState(), CallState::None);
        }
        ModemSimProcess sim({"--default", "answer:10"});
        int asked = 0;
        const auto chooser = [&](int answer) {
            return [&asked, answer](const QStringList& names) {
                ++asked;
                return names.size() == 2 ? answer : -2;
            };
        };
        {
            // One device that can place the call: used without asking.
            Telephony tapi({sim.port()});
            tapi.setChooser(chooser(0));
            tapi.dial("5551234");
            QCOMPARE(asked, 0);
            QCOMPARE(tapi.device()->name(), sim.port());
            tapi.cancelCall();
        }
        PhoneLinkDevice::setHandlerOverride(true);
        Telephony tapi({sim.port()});
        QCOMPARE(tapi.availableNames(), QStringList({sim.port(), "Phone link (tel:)"}));
        tapi.setChooser(chooser(-1));
        QVERIFY_THROWS_EXCEPTION(LineError, tapi.dial("5551234"));
        QCOMPARE(asked, 1);
        tapi.setChooser(chooser(1));
        tapi.dial("5551234");
        QCOMPARE(tapi.device()->name(), QStringLiteral("Phone link (tel:)"));
        QCOMPARE(tapi.callState(), CallState::Proceeding);
        // The choice holds for the rest of the run.
        tapi.cancelCall();
        tapi.dial("5551234");
        QCOMPARE(asked, 2);
        QCOMPARE(tapi.device()->name(), QStringLiteral("Phone link (tel:)"));
    }
};

QTEST_GUILESS_MAIN(LineDevicesTest)
#include "tst_linedevices.moc"
