// The main window: first show, page docking with its tag protocol, page buttons, the live-demo
// button, the owner's title, the tray toggle, "-h" and the end of the program.
#include "TempDatabase.h"
#include "app/BalloonPresenter.h"
#include "app/Page.h"
#include "app/PictureButton.h"
#include "app/PicturePanel.h"
#include "app/SettingsStore.h"
#include "app/ShadowLabel.h"
#include "app/TMF.h"
#include "app/TrayMenu.h"
#include "online/HtmlView.h"
#include "platform/Shell.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QtTest>

namespace {
// A page that counts its one-time set-ups and settings writes.
class CountingPage : public Page {
public:
    explicit CountingPage(QWidget* cover) : m_cover(cover) {}
    int setUps = 0;
    int writes = 0;
    bool coverShownAtSetUp = false;
    int tagAtSetUp = -1;

protected:
    void setUp() override {
        ++setUps;
        tagAtSetUp = tag();
        coverShownAtSetUp = m_cover->isVisible();
    }
    void writeSettings() override { ++writes; }

private:
    QWidget* m_cover;
};
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_home = QDir::currentPath();
        m_tmp = std::make_unique<TempDatabase>();
        QVERIFY(QDir::setCurrent(m_tmp->binDir()));
        m_opened.clear();
        // The window's service traffic (advertisements) goes to a closed loopback port.
        qputenv("http_proxy", "http://127.0.0.1:9");
        Shell::setObserver([this](const QUrl& url) { m_opened << url; });
    }
    void cleanup() {
        m_tmf.reset();
        TMF::setTrayAvailableOverride(std::nullopt);
        Shell::setObserver({});
        QDir::setCurrent(m_home);
        m_tmp.reset();
    }

    void firstShowDocksThePersonalPageOnce() {
        QDir(m_tmp->root() + "/temp").removeRecursively();
        create();
        show();
        QCOMPARE(m_tmf->windowTitle(), QStringLiteral("Tessaro Kavelin"));
        QCOMPARE(m_tmf->CurPage, 0);
        QCOMPARE(m_tmf->GB0->mark(), QStringLiteral("1"));
        QCOMPARE(m_tmf->shownPage(), m_pages[0]);
        QCOMPARE(m_pages[0]->setUps, 1);
        QCOMPARE(m_pages[0]->tagAtSetUp, 2);
        QVERIFY(m_pages[0]->coverShownAtSetUp);
        QCOMPARE(m_pages[0]->tag(), 1);
        QVERIFY(!m_tmf->STP->isVisible());
        QVERIFY(QFileInfo(m_tmp->root() + "/temp").isDir());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(m_tmf->geometry(), QRect(0, 0, screen.width(), screen.height() - 29));
        QVERIFY(m_tmf->UPD_CHE.isActive());
        QCOMPARE(m_tmf->UPD_CHE.interval(), 30000);
        QVERIFY(m_tmf->ADV_UPD.isActive());
        QCOMPARE(m_tmf->ADV_TOP->documentSource(),
                 QStringLiteral("<html><body bgcolor=\"#536a9f\"></body></html>"));

        // Coming back from the tray does not repeat the first-show work.
        m_tmf->TIT->setText("kept");
        m_tmf->GBClick(m_tmf->Gb1);
        m_tmf->hide();
        m_tmf->show();
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("kept"));
        QCOMPARE(m_tmf->shownPage(), m_pages[1]);
        QCOMPARE(m_pages[0]->setUps, 1);
    }

    void eachPageIsSetUpExactlyOnce() {
        create();
        show();
        for (int round = 0; round < 2; ++round) {
            for (PictureButton* b : {m_tmf->Gb1, m_tmf->Gb2, m_tmf->Gb3, m_tmf->Gb4, m_tmf->GB0}) {
                QTest::mouseClick(b, Qt::LeftButton);
                QCOMPARE(b->mark(), QStringLiteral("1"));
            }
        }
        for (int i = 0; i < TMF::PageCount; ++i) {
            QCOMPARE(m_pages[i]->setUps, 1);
            QCOMPARE(m_pages[i]->tag(), 1);
            QVERIFY(m_pages[i]->coverShownAtSetUp);
            QCOMPARE(m_pages[i]->parentWidget(), m_tmf->CONT);
        }
        int marked = 0;
        for (PictureButton* b : buttons())
            marked += b->mark() == "1";
        QCOMPARE(marked, 1);
        QCOMPARE(m_tmf->shownPage(), m_pages[0]);
        QVERIFY(m_pages[0]->isVisible());
        for (int i = 1; i < TMF::PageCount; ++i)
            QVERIFY(!m_pages[i]->isVisible());
        // The docked page fills the content panel.
        QCOMPARE(m_pages[0]->geometry(), m_tmf->CONT->rect());
    }

    void clickingTheShownPagesButtonKeepsIt() {
        create();
        show();
        m_tmf->GBClick(m_tmf->Gb2);
        m_tmf->GBClick(m_tmf->Gb2);
        m_tmf->GBClick(m_tmf->Gb2);
        QCOMPARE(m_tmf->shownPage(), m_pages[2]);
        QVERIFY(m_pages[2]->isVisible());
        QCOMPARE(m_tmf->Gb2->mark(), QStringLiteral("1"));
        QCOMPARE(m_tmf->Gb2->imageIndex(), 5);
        QCOMPARE(m_pages[2]->setUps, 1);
    }

    void unfinishedSetUpLeavesThePageHidden() {
        create();
        show();
        m_pages[3]->setTag(2);
        m_tmf->GBClick(m_tmf->Gb3);
        QCOMPARE(m_tmf->shownPage(), nullptr);
        QCOMPARE(m_pages[3]->setUps, 0);
        QVERIFY(!m_tmf->STP->isVisible());
        // A page set back to 0 (as after a restore) is docked and set up afresh.
        m_pages[0]->setTag(0);
        m_tmf->GBClick(m_tmf->GB0);
        QCOMPARE(m_pages[0]->setUps, 2);
        QCOMPARE(m_tmf->shownPage(), m_pages[0]);
    }

    void watchLiveDemoKeepsPageAndMarks() {
        create();
        show();
        m_tmf->GBClick(m_tmf->Gb3);
        QTest::mouseClick(m_tmf->Gb5, Qt::LeftButton);
        QCOMPARE(m_tmf->CurPage, 5);
        QCOMPARE(m_opened, QList<QUrl>{QUrl(TMF::DefaultDemoAddress)});
        QCOMPARE(m_tmf->shownPage(), m_pages[3]);
        QCOMPARE(m_tmf->Gb3->mark(), QStringLiteral("1"));
        QCOMPARE(m_tmf->Gb5->mark(), QString());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

        m_tmf->settings().WriteText("SERVICE\\DEMO", "http://127.0.0.1:9/demo.html");
        m_tmf->GBClick(m_tmf->Gb5);
        QCOMPARE(m_opened.last(), QUrl("http://127.0.0.1:9/demo.html"));

        // With no program for web addresses on the desk, a balloon at the button says so.
        Shell::setObserver({});
        Shell::setOpener(QDir::current().filePath("no-such-opener"));
        const auto restore = qScopeGuard([] { Shell::setOpener({}); });
        QTest::mouseClick(m_tmf->Gb5, Qt::LeftButton);
        QTRY_VERIFY(BalloonPresenter::hasInstance() && BalloonPresenter::instance()->isShowing());
        QVERIFY(BalloonPresenter::instance()->text().contains("http://127.0.0.1:9/demo.html"));
    }

    void pageChoiceDrivesBannerAndRefresh() {
        create();
        show();
        m_tmf->img_p2->hide();
        m_tmf->GBClick(m_tmf->Gb4);
        QVERIFY(m_tmf->img_p2->isVisible());
        QCOMPARE(m_tmf->shownPage(), m_pages[4]);

        m_tmf->ADV_UPD.stop();
        m_tmf->LastAdTick = 500000;
        m_tmf->GBClick(m_tmf->Gb1);
        QVERIFY(m_tmf->ADV_UPD.isActive());
        QCOMPARE(m_tmf->ADV_UPD.interval(), 100);
        QCOMPARE(m_tmf->LastAdTick, 300000u);
        // The next tick goes back to the normal interval.
        QTRY_COMPARE(m_tmf->ADV_UPD.interval(), 15000);
    }

    void pictureFollowsPointerAndMark() {
        create();
        show();
        PictureButton* b = m_tmf->Gb2;
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(b, &enter);
        QVERIFY(b->pointerOver());
        m_tmf->GBPaint(b);
        QCOMPARE(b->imageIndex(), 5);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
        m_tmf->GBPaint(b);
        QCOMPARE(b->imageIndex(), 4);
        // The marked button keeps its highlighted picture; disabled buttons are left alone.
        m_tmf->GBPaint(m_tmf->GB0);
        QCOMPARE(m_tmf->GB0->imageIndex(), 1);
        m_tmf->Gb4->setImageIndex(3);
        m_tmf->Gb4->setEnabled(false);
        m_tmf->GBPaint(m_tmf->Gb4);
        QCOMPARE(m_tmf->Gb4->imageIndex(), 3);
    }

    void titleFromSettings_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("title");
        QTest::newRow("company wins") << "Mehran Traders"
                                      << "Ali"
                                      << "Mehran Traders";
        QTest::newRow("user when no company") << ""
                                              << "Ali Raza"
                                              << "Ali Raza";
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "";
    }
    void titleFromSettings() {
        QFETCH(QString, company);
        QFETCH(QString, user);
        QFETCH(QString, title);
        {
            SettingsStore store("settings.xml");
            store.WriteText("USRINF\\COM", company);
            store.WriteText("USRINF\\USR", user);
            QVERIFY(store.Flush());
        }
        create();
        show();
        QCOMPARE(m_tmf->TIT->text(), title);
    }

    void trayToggleWaitsForModalDialog() {
        TMF::setTrayAvailableOverride(true);
        create();
        show();
        {
            QDialog dialog(m_tmf.get());
            dialog.setModal(true);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            m_tmf->TRAYClick();
            m_tmf->CBTNClick();
            QVERIFY(m_tmf->isVisible());
            QVERIFY(!m_tmf->isMinimized());
        }
        m_tmf->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_tmf.get()));
        QTest::mouseClick(m_tmf->CBTN, Qt::LeftButton);
        QVERIFY(!m_tmf->isVisible());
        QVERIFY(m_tmf->TRAY->isVisible());
        m_tmf->TRAYClick();
        QVERIFY(m_tmf->isVisible());
        QCOMPARE(m_pages[0]->setUps, 1);
    }

    void closingHidesToTheTray() {
        TMF::setTrayAvailableOverride(true);
        create();
        show();
        QVERIFY(!m_tmf->close());
        QVERIFY(!m_tmf->isVisible());
        QVERIFY(!m_tmf->exiting());
    }

    void withoutTrayTheWindowMinimisesInstead() {
        TMF::setTrayAvailableOverride(false);
        create();
        show();
        m_tmf->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_tmf.get()));
        m_tmf->TRAYClick();
        QVERIFY(m_tmf->isVisible());
        QVERIFY(m_tmf->isMinimized());
        m_tmf->TRAYClick();
        QVERIFY(!m_tmf->isMinimized());
    }

    // Without a tray the header opens the tray menu on a right click; the advertisement on it
    // opens no menu at all.
    void rightClickOnTheAdvertOpensNoMenu() {
        TMF::setTrayAvailableOverride(false);
        create();
        show();
        // No request of the window's own replaces the advertisement given here.
        m_tmf->ADV_UPD.stop();
        QTRY_VERIFY(!m_tmf->ADV_TOP->isLoading());
        m_tmf->ADV_TOP->loadHtml("<html><body>Advert<!--done--></body></html>");
        QTRY_VERIFY(!m_tmf->img_p2->isVisible());
        QWidget* advert = m_tmf->ADV_TOP->viewport();
        QCOMPARE(m_tmf->childAt(m_tmf->mapFromGlobal(advert->mapToGlobal(QPoint(300, 50)))),
                 advert);
        rightClick(advert, QPoint(300, 50));
        QTest::qWait(50);
        QVERIFY(!m_tmf->trayMenu()->isVisible());

        rightClick(m_tmf->TIT, QPoint(5, 5));
        QTRY_VERIFY(m_tmf->trayMenu()->isVisible());
        m_tmf->trayMenu()->hide();
    }

    void startMinimisedDoesTheFirstShowWork() {
        TMF::setTrayAvailableOverride(true);
        create();
        m_tmf->startMinimised();
        QVERIFY(!m_tmf->isVisible());
        QCOMPARE(m_tmf->windowTitle(), QStringLiteral("Tessaro Kavelin"));
        QCOMPARE(m_pages[0]->setUps, 1);
        QCOMPARE(m_pages[0]->tag(), 1);
        QVERIFY(m_tmf->UPD_CHE.isActive());
        QVERIFY(m_tmf->ADV_UPD.isActive());
        m_tmf->bringForward();
        QVERIFY(QTest::qWaitForWindowExposed(m_tmf.get()));
        QCOMPARE(m_tmf->shownPage(), m_pages[0]);
        QVERIFY(m_pages[0]->isVisible());
        QCOMPARE(m_pages[0]->setUps, 1);
        // What the user sees in the middle of the content area is the page, not its cover.
        QVERIFY(m_tmf->STP->isHidden());
        const QPoint middle = m_tmf->MCONT->geometry().center();
        QWidget* seen = m_tmf->childAt(middle);
        QVERIFY2(seen == m_pages[0] || m_pages[0]->isAncestorOf(seen),
                 qPrintable(seen ? seen->objectName() : QStringLiteral("nothing")));
    }

    void exitWritesSettingsOnceEvenWhenCalledTwice() {
        create();
        show();
        m_tmf->GBClick(m_tmf->Gb3);
        m_tmf->settings().WriteText("PD\\SRB", "kept");
        m_tmf->exitProgram();
        m_tmf->exitProgram();
        QVERIFY(m_tmf->exiting());
        QCOMPARE(m_pages[0]->writes, 1);
        QCOMPARE(m_pages[3]->writes, 1);
        QCOMPARE(m_pages[1]->writes, 0);
        QVERIFY(!m_tmf->UPD_CHE.isActive());
        SettingsStore saved("settings.xml");
        QCOMPARE(saved.ReadText("PD\\SRB", ""), QStringLiteral("kept"));
    }

    void layoutFollowsTheWidth() {
        create();
        show();
        m_tmf->resize(1280, 995);
        QCOMPARE(m_tmf->CBTN->geometry(), QRect(1235, 9, 27, 27));
        QCOMPARE(m_tmf->ADV_TOP->geometry(), QRect(16, 49, 1248, 100));
        QCOMPARE(m_tmf->img_p1->geometry(), QRect(16, 49, 150, 100));
        QCOMPARE(m_tmf->img_p2->geometry(), QRect(166, 49, 1098, 100));
        QCOMPARE(m_tmf->GB0->geometry(), QRect(3, 166, 155, 35));
        QCOMPARE(m_tmf->Gb2->geometry(), QRect(312, 166, 155, 35));
        QCOMPARE(m_tmf->Gb3->geometry(), QRect(1167, 166, 35, 35));
        QCOMPARE(m_tmf->Gb5->geometry(), QRect(1239, 166, 35, 35));
        QCOMPARE(m_tmf->MCONT->geometry(), QRect(0, 208, 1280, 787));
        QCOMPARE(m_tmf->Gb4->toolTip(), QStringLiteral("About"));
        QCOMPARE(m_tmf->Gb5->toolTip(), QStringLiteral("Watch Live Demo"));
    }

private:
    // A right click and the context menu request the window system makes of it (the test's
    // mouse events go to the widget directly and make none).
    static void rightClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &request);
    }
    void create() {
        m_tmf = std::make_unique<TMF>();
        m_tmf->createWindows();
        for (int i = 0; i < TMF::PageCount; ++i) {
            m_pages[i] = new CountingPage(m_tmf->STP);
            m_tmf->setPage(i, m_pages[i]);
        }
    }
    void show() {
        m_tmf->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_tmf.get()));
    }
    QList<PictureButton*> buttons() const {
        return {m_tmf->GB0, m_tmf->Gb1, m_tmf->Gb2, m_tmf->Gb3, m_tmf->Gb4, m_tmf->Gb5};
    }

    QString m_home;
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<TMF> m_tmf;
    std::array<CountingPage*, 5> m_pages{};
    QList<QUrl> m_opened;
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
