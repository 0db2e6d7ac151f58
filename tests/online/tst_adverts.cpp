// The main window online against the reference service and a misbehaving server on 127.0.0.1:
// the advertisement panes of the window and a directory page (what is requested when, the
// counters, the covers the user sees, the quiet failures) and a window that keeps working while
// its service request waits.
#include "BrokenServer.h"
#include "ServiceProcess.h"
#include "TempDatabase.h"
#include "app/Page.h"
#include "app/PictureButton.h"
#include "app/PicturePanel.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "online/AdvertPane.h"
#include "online/HtmlView.h"
#include "online/ServiceClient.h"

#include <QScreen>
#include <QtTest>

namespace {
// A directory page with a side pane, as the business and PTCL pages have.
class PanePage : public Page {
public:
    PanePage() : pane(new AdvertPane(this)) {}
    AdvertPane* advertPane() const override { return pane; }
    void search(const QString& query) { emit advertQueryReady(query); }
    AdvertPane* pane;
};

// Share of the area's pixels that differ from the panels' colour.
double colouredShare(QWidget* window, const QRect& area) {
    const QImage image = window->grab(area).toImage();
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) != TMF::PanelColour)
                ++coloured;
    return double(coloured) / (image.width() * image.height());
}

// The advertisement pages asked for, sorted: the two panes load side by side, so the service
// may log them in either order.
QStringList adverts(const QStringList& requests) {
    QStringList result;
    for (const QString& r : requests)
        if (r.contains("adv_"))
            result << r;
    result.sort();
    return result;
}
} // namespace

class AdvertsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        m_home = QDir::currentPath();
        m_tmp = std::make_unique<TempDatabase>();
        QVERIFY(QDir::setCurrent(m_tmp->binDir()));
        m_now = 5000000;
        // The update check's requests stay out of the counts here.
        TMF::setUpdateIntervalOverride(-1);
    }
    void cleanup() {
        TMF::setUpdateIntervalOverride(std::nullopt);
        m_tmf.reset();
        TMF::setTrayAvailableOverride(std::nullopt);
        QDir::setCurrent(m_home);
        m_tmp.reset();
    }

    void firstRefreshesCountAndUncover() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        start(service.base());
        const QString scr = QString::number(m_tmf->screen()->geometry().width());
        // Page 0 is chosen at the first show; its refresh follows about 100 ms later.
        QVERIFY(service.waitForRequests(1));
        QCOMPARE(adverts(service.requests()).value(0),
                 "/hvx/adv_top.php?pgi=0&cnt=1&scr=" + scr + " 200");
        QTRY_VERIFY(!m_tmf->img_p2->isVisible());
        QVERIFY(m_tmf->ADV_TOP->documentSource().contains("<!--done-->"));
        // The user sees the advertisement's picture right of the logo, not the panel colour.
        QTRY_VERIFY(colouredShare(m_tmf.get(), QRect(180, 60, 300, 80)) > 0.5);
        QCOMPARE(settings().ReadNumber("ADV\\CNT0", 0), 1);

        service.clearRequests();
        QTest::mouseClick(m_tmf->Gb1, Qt::LeftButton);
        QVERIFY(service.waitForRequests(2));
        QCOMPARE(adverts(service.requests()).mid(0, 2),
                 (QStringList{"/hvx/adv_lft.php?pgi=1&cnt=0&scr=" + scr + " 200",
                              "/hvx/adv_top.php?pgi=1&cnt=1&scr=" + scr + " 200"}));
        QCOMPARE(settings().ReadNumber("ADV\\CNT1", 0), 1);
        QTRY_VERIFY(!m_page->pane->ADV_COV->isVisible());
        QVERIFY(m_page->pane->ADV_LFT->documentSource().contains("<!--done-->"));
    }

    void searchQueryThenOrdinaryRefresh() {
        ServiceProcess service;
        start(service.base());
        QTest::mouseClick(m_tmf->Gb1, Qt::LeftButton);
        QVERIFY(service.waitForRequests(2));
        QTRY_VERIFY(!m_tmf->ADV_TOP->isLoading());
        service.clearRequests();
        const int plain = settings().ReadNumber("ADV\\CNT1", 0);

        m_page->search("car+Tyres");
        QTRY_COMPARE(adverts(service.requests()).size(), 2);
        const QStringList asked = adverts(service.requests());
        QVERIFY(asked[0].startsWith("/hvx/adv_lft.php?pgi=1&cnt=0&"));
        QVERIFY(asked[0].endsWith("&qry=car+Tyres 200"));
        QVERIFY(asked[1].startsWith("/hvx/adv_top.php?pgi=1&cnt=1&"));
        QVERIFY(asked[1].endsWith("&qry=car+Tyres 200"));
        QCOMPARE(settings().ReadNumber("ADV\\CNTQ1", 0), 1);
        QCOMPARE(settings().ReadNumber("ADV\\CNT1", 0), plain);
        QTRY_VERIFY(m_tmf->ADV_TOP->documentSource().contains("Karachi Motors"));
        QTRY_VERIFY(!m_tmf->img_p2->isVisible());
        QVERIFY(m_tmf->AdQuery.isEmpty());

        // 200 seconds later an ordinary refresh, without the query.
        service.clearRequests();
        m_tmf->setAdvertTickInterval(20);
        m_tmf->RefreshAdsSoon(); // only to have the shortened interval taken up
        QTRY_COMPARE(adverts(service.requests()).size(), 2);
        service.clearRequests();
        m_now += 200001;
        QTRY_COMPARE(adverts(service.requests()).size(), 2);
        QVERIFY(!adverts(service.requests()).join(' ').contains("qry="));
        QCOMPARE(settings().ReadNumber("ADV\\CNT1", 0), plain + 2);
        QCOMPARE(settings().ReadNumber("ADV\\CNTQ1", 0), 1);
    }

    void noRefreshOnSettingsPageOrInTheTray() {
        ServiceProcess service;
        start(service.base());
        QVERIFY(service.waitForRequests(1));
        QTRY_VERIFY(!m_tmf->img_p2->isVisible());
        m_tmf->setAdvertTickInterval(10);
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        QVERIFY(m_tmf->img_p2->isVisible());
        service.clearRequests();
        for (int i = 0; i < 20; ++i) {
            m_now += 300000;
            QTest::qWait(15);
        }
        QVERIFY(adverts(service.requests()).isEmpty());
        QVERIFY(m_tmf->img_p2->isVisible());

        // Hidden in the tray: nothing, however long; back in front: a refresh.
        TMF::setTrayAvailableOverride(true);
        QTest::mouseClick(m_tmf->GB0, Qt::LeftButton);
        m_tmf->TRAYClick();
        QVERIFY(!m_tmf->isVisible());
        for (int i = 0; i < 20; ++i) {
            m_now += 300000;
            QTest::qWait(15);
        }
        QVERIFY(adverts(service.requests()).isEmpty());
        m_tmf->bringForward();
        QVERIFY(QTest::qWaitForWindowActive(m_tmf.get()));
        QVERIFY(service.waitForRequests(1));
        QVERIFY(adverts(service.requests()).value(0).startsWith("/hvx/adv_top.php?pgi=0&"));
    }

    void serviceAwayOrPageIncomplete() {
        BrokenServer server;
        // Only the marker itself, in any case, uncovers; with blanks inside it does not.
        server.setAnswer(200, "<html><body><h1>Sale</h1><!-- done --></body></html>");
        start(server.base());
        QTRY_COMPARE(server.requests().size(), 1);
        QTRY_VERIFY(!m_tmf->ADV_TOP->isLoading() && !m_tmf->ADV_DON.isActive());
        QVERIFY(m_tmf->ADV_TOP->documentSource().contains("Sale"));
        QVERIFY(m_tmf->img_p2->isVisible());
        server.setAnswer(200, "<html><body><h1>Sale</h1><!--DoNe--></body></html>");
        m_tmf->RefreshAdsSoon();
        QTRY_VERIFY(!m_tmf->img_p2->isVisible());
        // An error page or no server at all: the banner comes back, and nothing is said.
        server.setAnswer(500, "<html><body>Internal error</body></html>");
        m_tmf->RefreshAdsSoon();
        QTRY_VERIFY(m_tmf->img_p2->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(QApplication::activeWindow() == m_tmf.get());
    }

    // While the main window's request waits on a server that never answers, the user's clicks
    // still work, and what they start sees the request running.
    void windowWorksDuringARequest() {
        BrokenServer silent;
        silent.setMode(BrokenServer::Mode::Silent);
        start(silent.base());
        m_tmf->service().client().setTimeout(1500);
        bool busyDuringClick = false;
        bool secondRequest = true;
        QTimer::singleShot(50, m_tmf.get(), [&] {
            QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
            busyDuringClick = m_tmf->ReqBusy();
            secondRequest = m_tmf->IT_ProReq("getupd.php?hsh=more");
        });
        QVERIFY(!m_tmf->IT_ProReq("getupd.php?hsh=yes"));
        QVERIFY(busyDuringClick);
        QVERIFY(!secondRequest);
        QCOMPARE(m_tmf->CurPage, 3);
        QCOMPARE(m_tmf->shownPage(), m_tmf->page(3));
        QVERIFY(!m_tmf->ReqBusy());
        QCOMPARE(m_tmf->service().ReqFailures(), 1);
        int updates = 0;
        for (const QByteArray& path : silent.paths())
            updates += path.startsWith("/hvx/getupd.php") ? 1 : 0;
        QCOMPARE(updates, 1);
    }

private:
    void start(const QString& base) {
        {
            SettingsStore store(m_tmp->binDir() + "/settings.xml");
            store.WriteText("SERVICE\\BASE0", base);
            store.WriteText("SERVICE\\BASE1", base);
            QVERIFY(store.Flush());
        }
        m_tmf = std::make_unique<TMF>();
        m_tmf->setTickSource([this] { return m_now; });
        m_tmf->createWindows();
        m_page = new PanePage;
        m_tmf->setPage(1, m_page);
        m_tmf->show();
        QVERIFY(QTest::qWaitForWindowActive(m_tmf.get()));
    }
    SettingsStore& settings() { return m_tmf->settings(); }

    QString m_home;
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<TMF> m_tmf;
    PanePage* m_page = nullptr;
    quint32 m_now = 0;
};

QTEST_MAIN(AdvertsTest)
#include "tst_adverts.moc"
