// The dialer window against the modem simulator on a real pseudo-terminal: title, number and
// area code, the Dial, Hang Up and Close buttons clicked with the mouse, the status line,
// redialling, faults, the check boxes kept per prefix, and the ring actions of the tray menu
// and the personal page that open it.
#include "ModemSimProcess.h"
#include "TempDatabase.h"
#include "app/BalloonPresenter.h"
#include "app/Helpers.h"
#include "app/PictureButton.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "app/TrayMenu.h"
#include "dialer/DeviceSelection.h"
#include "dialer/ModemLineDevice.h"
#include "dialer/PhoneLinkDevice.h"
#include "dialer/TDialer_frm.h"
#include "dialer/Telephony.h"
#include "dialer/UpDown.h"
#include "directory/ActionButton.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

namespace {
ModemTimings quickTimings() {
    ModemTimings t;
    t.commandMs = 2000;
    t.dialReplyMs = 2000;
    t.redialWaitSeconds = 2;
    t.tickMs = 10;
    return t;
}

DialRequest request(const QString& title, const QStringList& numbers, const QString& city = {},
                    bool mobile = false, const QString& prefix = QStringLiteral("PD")) {
    DialRequest r;
    r.SettingsPrefix = prefix;
    r.CityCode = city;
    r.DialTitle = title;
    r.Numbers = numbers;
    r.MobileCall = mobile;
    return r;
}

// Runs the steps once the modal window shows (its exec() keeps the test waiting until then).
void whenShown(QWidget* window, std::function<void()> steps) {
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, window, [=] {
        if (!window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        steps();
    });
    poll->start(5);
}

// Runs the steps once a modal window of the type is open (the code that opened it waits in its
// exec() until the steps close it).
template <typename T> void whenModal(std::function<void(QWidget*)> steps) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        steps(window);
    });
    poll->start(5);
}

void click(QWidget* widget) {
    QTest::mouseMove(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}
} // namespace

class DialerTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ModemLineDevice::setDefaultTimings(quickTimings());
        Telephony::setSystemPortsOverride(QStringList());
        PhoneLinkDevice::setHandlerOverride(false);
        m_errors.clear();
        TkApplication::setErrorObserver([this](const QString& text) { m_errors << text; });
        QVERIFY(m_sim.start({"--default", "answer:30", "--outcome", "7777777=busy:10"}));
    }
    void cleanup() {
        m_dialer.reset();
        m_settings.reset();
        m_db.reset();
        m_sim.kill();
        TkApplication::setErrorObserver({});
        Shell::setObserver({});
        ModemLineDevice::setDefaultTimings(ModemTimings());
        Telephony::setSystemPortsOverride(std::nullopt);
        PhoneLinkDevice::setHandlerOverride(std::nullopt);
    }

    void windowIsLaidOutAsDrawn() {
        create();
        open(request("Ahmed", {"5551234"}));
        QCOMPARE(m_dialer->size(), QSize(440, 290));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(m_dialer->pos(), QPoint((screen.width() - 440) / 2, 159));
        QVERIFY(m_dialer->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(m_dialer->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(m_dialer->isModal());
        QCOMPARE(m_dialer->ACC->text(), QStringLiteral("Use Area Code"));
        QCOMPARE(m_dialer->ADC->text(), QStringLiteral("Auto Dial"));
        QCOMPARE(m_dialer->ACC->pos(), QPoint(32, 196));
        QCOMPARE(m_dialer->ADC->pos(), QPoint(32, 217));
        QCOMPARE(m_dialer->NUM->geometry(), QRect(32, 84, 212, 33));
        // The picture is painted: the title band is dark blue, not the default grey.
        const QImage shot = m_dialer->grab().toImage();
        QVERIFY(qBlue(shot.pixel(200, 5)) > qRed(shot.pixel(200, 5)));
        // Each button shows its picture, the lighter one under the mouse.
        QCOMPARE(m_dialer->ALGraphicButton1->toolTip(), QStringLiteral("Dial"));
        QCOMPARE(m_dialer->ALGraphicButton2->toolTip(), QStringLiteral("Hang Up"));
        QCOMPARE(m_dialer->SMS->toolTip(), QStringLiteral("Close"));
        QTest::mouseMove(m_dialer->ALGraphicButton2);
        QTRY_COMPARE(m_dialer->ALGraphicButton2->imageIndex(), 5);
        QTest::mouseMove(m_dialer->NUM);
        QTRY_COMPARE(m_dialer->ALGraphicButton2->imageIndex(), 4);
        QCOMPARE(m_dialer->SMS->imageIndex(), 0);
    }

    void titleIsShortenedPastTwentyTwoCharacters() {
        create();
        const QString t22 = QStringLiteral("Karachi Motor Company.");
        const QString t23 = QStringLiteral("Karachi Motor Companies");
        QCOMPARE(t22.size(), 22);
        open(request(t22, {"1"}));
        QCOMPARE(m_dialer->TIT->text(), t22);
        QCOMPARE(m_dialer->TIT->toolTip(), QString());
        closeWithButton();
        open(request(t23, {"1"}));
        QCOMPARE(m_dialer->TIT->text(), QStringLiteral("Karachi Motor Compa..."));
        QCOMPARE(m_dialer->TIT->toolTip(), t23);
        closeWithButton();
        // Each '&' counts twice: 20 characters fit, 22 with two ampersands do not.
        open(request("Smith & Sons Traders", {"1"}));
        QCOMPARE(m_dialer->TIT->text(), QStringLiteral("Smith & Sons Traders"));
        closeWithButton();
        open(request("Smith & Sons & Trader", {"1"}));
        QCOMPARE(m_dialer->TIT->text(), QStringLiteral("Smith & Sons & Tr..."));
        QCOMPARE(m_dialer->TIT->toolTip(), QStringLiteral("Smith & Sons & Trader"));
    }

    void areaCodeOfTheCityIsDialledInFront() {
        create({{"PD\\DLR\\ACC", true}});
        open(request("Lahore Office", {"5551234"}, "35")); // Lahore: 042
        QVERIFY(m_dialer->ACC->isChecked() && m_dialer->ACC->isEnabled());
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5551234"));
        QCOMPARE(m_dialer->NUM->cursorPosition(), 11);
        QCOMPARE(m_dialer->STA->text(), QString());
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().contains("ATDT0425551234;"));
        QCOMPARE(m_dialer->STA->text(), QStringLiteral("Dialing..."));
        QTRY_VERIFY(m_sim.log().contains("SEND CONNECT"));
        QTest::qWait(20);
        QCOMPARE(m_dialer->STA->text(), QStringLiteral("Dialing...")); // kept through the answer
        click(m_dialer->ALGraphicButton2);
        QCOMPARE(m_dialer->STA->text(), QString());
        QTRY_COMPARE(m_sim.received().last(), QStringLiteral("ATH"));
        QVERIFY(m_dialer->isVisible());
        // Unticking "Use Area Code" drops the prefix.
        click(m_dialer->ACC);
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("5551234"));
        QVERIFY(m_errors.isEmpty());
    }

    void emptyOrUnknownAreaCode() {
        create({{"PD\\DLR\\ACC", true}});
        open(request("No City", {"5551234"}));
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("+5551234"));
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().contains("ATDT5551234;"));
        closeWithButton();
        open(request("Unknown City", {"5551234"}, "0"));
        QCOMPARE(m_dialer->AreaCode, QString());
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("+5551234"));
    }

    void mobileCallNeverGetsTheAreaCode() {
        create({{"PD\\DLR\\ACC", true}});
        open(request("Mobile", {"03001234567"}, "35", true));
        QVERIFY(!m_dialer->ACC->isEnabled());
        QVERIFY(m_dialer->ACC->isChecked()); // the stored choice stays as it was
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("03001234567"));
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().contains("ATDT03001234567;"));
        closeWithButton();
        QCOMPARE(m_settings->ReadFlag("PD\\DLR\\ACC", false), true);
    }

    void numberWithOtherCharactersIsRefused() {
        create();
        open(request("Typed", {"5551234"}));
        m_dialer->NUM->clear();
        QTest::keyClicks(m_dialer->NUM, "0300-1234567");
        click(m_dialer->ALGraphicButton1);
        QVERIFY(BalloonPresenter::hasInstance());
        QVERIFY(BalloonPresenter::instance()->isShowing());
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Invalid Phone Number"));
        QCOMPARE(BalloonPresenter::instance()->header(), QStringLiteral("ERROR"));
        m_dialer->NUM->setText(QStringLiteral("(042) 555"));
        click(m_dialer->ALGraphicButton1);
        m_dialer->NUM->clear();
        click(m_dialer->ALGraphicButton1);
        QTest::qWait(50);
        QVERIFY(m_sim.received().isEmpty());
        QVERIFY(m_errors.isEmpty());
        QVERIFY(m_dialer->isVisible());
        // Digits typed in another script are dialled as the digits they are.
        m_dialer->NUM->setText(QString::fromUtf8("\u06F0\u06F4\u06F2+5551234"));
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().contains("ATDT0425551234;"));
    }

    void upDownStepsBetweenTheNumbers() {
        create({{"PD\\DLR\\ACC", true}});
        open(request("Two Numbers", {"5551234", "5559999"}, "35"));
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5551234"));
        click(m_dialer->INB->upButton());
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5559999"));
        click(m_dialer->INB->upButton()); // already at the last
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5559999"));
        click(m_dialer->INB->downButton());
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5551234"));
        click(m_dialer->INB->upButton());
        closeWithButton();
        // The next opening starts at the first number; an empty list leaves NUM empty.
        open(request("Again", {"5551234", "5559999"}, "35"));
        QCOMPARE(m_dialer->NUM->text(), QStringLiteral("042+5551234"));
        closeWithButton();
        open(request("Nothing", {}, "35"));
        QCOMPARE(m_dialer->NUM->text(), QString());
        click(m_dialer->INB->upButton());
        QCOMPARE(m_dialer->NUM->text(), QString());
    }

    void busyLineIsRedialledAndGivenUp() {
        create();
        open(request("Busy", {"7777777"}));
        QStringList seen;
        connect(&m_dialer->TAPI(), &Telephony::status, this, [&] {
            if (seen.isEmpty() || seen.last() != m_dialer->STA->text())
                seen << m_dialer->STA->text();
        });
        click(m_dialer->ALGraphicButton1);
        QTRY_COMPARE(m_dialer->TAPI().callState(), CallState::Idle);
        QTRY_COMPARE(m_sim.received().count("ATDT7777777;"), 3);
        // "Dialing..." from the first dial through every wait until the device gives up.
        QCOMPARE(seen, QStringList({"", "Dialing...", ""}));
        QVERIFY(m_errors.isEmpty());
        // Dial works again afterwards.
        // (the line is still busy, so on a slow machine its redials may follow before the
        // simulator's log is read)
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().count("ATDT7777777;") >= 4);
        click(m_dialer->ALGraphicButton2);
    }

    void closeDuringACallDropsItAndKeepsTheChoices() {
        create();
        open(request("PTCL Listing", {"5551234"}, {}, false, "FD"));
        click(m_dialer->ADC);
        click(m_dialer->ALGraphicButton1);
        QTRY_COMPARE(m_dialer->STA->text(), QStringLiteral("Dialing..."));
        QTRY_VERIFY(m_sim.received().contains("ATDT5551234;"));
        click(m_dialer->SMS);
        QVERIFY(!m_dialer->isVisible());
        QCOMPARE(m_dialer->result(), int(QDialog::Rejected));
        QTRY_COMPARE(m_sim.received().last(), QStringLiteral("ATH"));
        QCOMPARE(m_settings->ReadFlag("FD\\DLR\\ADC", false), true);
        QCOMPARE(m_settings->ReadFlag("FD\\DLR\\ACC", true), false);
        QCOMPARE(m_settings->ReadText("PD\\DLR\\ADC", "unset"), QStringLiteral("unset"));

        // Escape closes the same way and still writes the settings.
        open(request("Personal", {"5551234"}));
        QCOMPARE(m_dialer->STA->text(), QString());
        QVERIFY(!m_dialer->ADC->isChecked()); // PD has its own choices
        QTest::keyClick(m_dialer->NUM, Qt::Key_Escape);
        QVERIFY(!m_dialer->isVisible());
        QCOMPARE(m_settings->ReadFlag("PD\\DLR\\ADC", true), false);
    }

    void autoDialStartsTheCallOnOpening() {
        create({{"PD\\DLR\\ADC", true}});
        open(request("Auto", {"5551234"}));
        QVERIFY(m_dialer->ADC->isChecked());
        QTRY_VERIFY(m_sim.received().contains("ATDT5551234;"));
        QCOMPARE(m_dialer->STA->text(), QStringLiteral("Dialing..."));
        closeWithButton();
        // An invalid number shows the balloon during automatic dialling too.
        open(request("Auto", {"555 1234"}));
        QTRY_VERIFY(BalloonPresenter::hasInstance() && BalloonPresenter::instance()->isShowing());
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Invalid Phone Number"));
    }

    void faultsShowOneErrorAndTheWindowStaysUsable() {
        create({}, QStringList());
        open(request("Nobody", {"5551234"}));
        click(m_dialer->ALGraphicButton1);
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().startsWith("No telephone line is available"),
                 qPrintable(m_errors.first()));
        QVERIFY(m_dialer->isVisible());
        QCOMPARE(m_dialer->STA->text(), QString());

        // The modem vanishes in the middle of a call.
        m_errors.clear();
        create();
        open(request("Vanishing", {"5551234"}));
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.log().contains("SEND CONNECT"));
        m_sim.kill();
        QTRY_COMPARE(m_errors.size(), 1);
        QCOMPARE(m_dialer->STA->text(), QString());
        QVERIFY(m_dialer->isVisible());
        // Without the simulator the port cannot be opened: one error, nothing else.
        click(m_dialer->ALGraphicButton1);
        QCOMPARE(m_errors.size(), 2);
        QVERIFY2(m_errors.last().contains("cannot be opened"), qPrintable(m_errors.last()));
        // Back again: Dial works.
        QVERIFY(m_sim.start({"--default", "answer:30"}));
        click(m_dialer->ALGraphicButton1);
        QTRY_VERIFY(m_sim.received().contains("ATDT5551234;"));
        QCOMPARE(m_dialer->STA->text(), QStringLiteral("Dialing..."));
        QCOMPARE(m_errors.size(), 2);
    }

    void deviceSelectionWhenSeveralLinesCanCall() {
        PhoneLinkDevice::setHandlerOverride(true);
        QList<QUrl> opened;
        Shell::setObserver([&](const QUrl& url) { opened << url; });
        create();
        open(request("Choice", {"5551234"}));
        DeviceSelection::setNextChoice(-1);
        click(m_dialer->ALGraphicButton1);
        QCOMPARE(DeviceSelection::lastOffered(), QStringList({m_sim.port(), "Phone link (tel:)"}));
        QCOMPARE(m_errors, QStringList({"No telephone line was chosen."}));
        DeviceSelection::setNextChoice(1);
        click(m_dialer->ALGraphicButton1);
        QCOMPARE(opened, QList<QUrl>({QUrl("tel:5551234")}));
        QCOMPARE(m_dialer->STA->text(), QStringLiteral("Dialing..."));
        QVERIFY(m_sim.received().isEmpty());
    }

    // Cancel in the real "Device Selection" dialog: the error box that follows belongs to the
    // dialer and stays on top as the dialer does, so it is never hidden under it.
    void errorAfterCancelShowsAboveTheDialer() {
        PhoneLinkDevice::setHandlerOverride(true);
        create();
        open(request("Choice", {"5551234"}));
        TkApplication::setErrorObserver({});
        QString boxText;
        QWidget* boxParent = nullptr;
        bool boxOnTop = false;
        whenModal<DeviceSelection>([&](QWidget* dialog) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            whenModal<QMessageBox>([&](QWidget* w) {
                auto* box = static_cast<QMessageBox*>(w);
                boxText = box->text();
                boxParent = box->parentWidget();
                boxOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                box->button(QMessageBox::Ok)->click();
            });
        });
        click(m_dialer->ALGraphicButton1);
        QCOMPARE(boxText, QStringLiteral("No telephone line was chosen."));
        QCOMPARE(boxParent, m_dialer.get());
        QVERIFY(boxOnTop);
        QVERIFY(m_dialer->isVisible());
    }

    void trayAndPersonalPageOpenTheDialer() {
        TempDatabase folder;
        folder.installTemplates();
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.binDir()));
        {
            SettingsStore settings;
            settings.WriteList(TDialer_frm::PortsKey, {m_sim.port()});
            QVERIFY(settings.Flush());
        }
        QList<QUrl> opened;
        Shell::setObserver([&](const QUrl& url) { opened << url; });
        TMF::setTrayAvailableOverride(false);
        auto tmf = std::make_unique<TMF>();
        tmf->createWindows();
        Databases& db = tmf->databases();
        db.MM.ExecStatement("INSERT INTO CONT (CTCD, CD, CNAM, PHN, MOB, HOT, CCD) VALUES "
                            "(1, 1, 'Lahore Office', '5551234, 5559999,', '03001234567', 1, 35)");
        db.DTR.CommitRetaining();
        tmf->settings().WriteFlag("PD\\DLR\\ACC", true);
        TDialer_frm* dialer = tmf->dialer();

        // The tray's Phone entry.
        tmf->trayMenu()->TrayMenuPopup();
        QStringList seen;
        whenShown(dialer, [&] {
            seen << dialer->TIT->text() << dialer->NUM->text();
            click(dialer->INB->upButton());
            seen << dialer->NUM->text();
            // A second hot contact while the dialer shows: nothing happens.
            tmf->trayMenu()->Mob_Mnu->actions().first()->trigger();
            seen << dialer->NUM->text();
            click(dialer->SMS);
        });
        tmf->trayMenu()->Pho_Mnu->actions().first()->trigger();
        QCOMPARE(seen,
                 QStringList({"Lahore Office", "042+5551234", "042+ 5559999", "042+ 5559999"}));
        QVERIFY(!dialer->isVisible());

        // The personal page's Ring Mobile button.
        tmf->show();
        QVERIFY(QTest::qWaitForWindowExposed(tmf.get()));
        auto* page = static_cast<TPDIR_FRM*>(tmf->page(0));
        QTRY_VERIFY(page->isVisible());
        page->ListContacts(1);
        QCOMPARE(page->contactModel()->rowCount(), 1);
        page->contactList()->selectionModel()->select(page->contactModel()->index(0, 0),
                                                      QItemSelectionModel::Select |
                                                          QItemSelectionModel::Rows);
        page->TIM_BTVTimer();
        QVERIFY(page->actionButton(3)->isEnabled());
        seen.clear();
        whenShown(dialer, [&] {
            seen << dialer->TIT->text() << dialer->NUM->text()
                 << (dialer->ACC->isEnabled() ? "ACC on" : "ACC off");
            click(dialer->ALGraphicButton1);
            const bool dialled = QTest::qWaitFor(
                [&] { return m_sim.received().contains("ATDT03001234567;"); }, 5000);
            seen << (dialled ? "dialled" : "not dialled: " + m_errors.join(' '));
            click(dialer->SMS);
        });
        click(page->actionButton(3));
        QCOMPARE(seen, QStringList({"Lahore Office", "03001234567", "ACC off", "dialled"}));
        QTRY_COMPARE(m_sim.received().last(), QStringLiteral("ATH"));
        tmf->exitProgram();
        tmf.reset();
        TMF::setTrayAvailableOverride(std::nullopt);
        QDir::setCurrent(home);
    }

private:
    void create(const QMap<QString, bool>& flags = {}, std::optional<QStringList> ports = {}) {
        m_dialer.reset();
        if (!m_db)
            m_db = std::make_unique<OpenTempDatabase>();
        m_settings = std::make_unique<SettingsStore>(m_db->files.binDir() + "/settings.xml");
        m_settings->WriteList(TDialer_frm::PortsKey, ports ? *ports : QStringList{m_sim.port()});
        for (auto it = flags.begin(); it != flags.end(); ++it)
            m_settings->WriteFlag(it.key(), it.value());
        m_dialer = std::make_unique<TDialer_frm>(m_db->db, *m_settings);
    }
    void open(const DialRequest& r) {
        m_dialer->setRequest(r);
        m_dialer->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialer.get()));
    }
    void closeWithButton() {
        click(m_dialer->SMS);
        QVERIFY(!m_dialer->isVisible());
    }

    ModemSimProcess m_sim;
    std::unique_ptr<OpenTempDatabase> m_db;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TDialer_frm> m_dialer;
    QStringList m_errors;
};

int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    DialerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_dialer.moc"
