// The business directory page driven as the user would, against the reference service and a
// misbehaving server on loopback: searches, the reply format, failures, row colours, the detail
// pane, the advertisement keyword and copying listings into a personal folder.
#include "BrokenServer.h"
#include "PageTestBase.h"
#include "ServiceProcess.h"
#include "app/Helpers.h"
#include "app/SettingsStore.h"
#include "app/TkApplication.h"
#include "business/BusinessListModel.h"
#include "business/BusinessReply.h"
#include "business/TBDIR_FRM.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/DetailPane.h"
#include "directory/DirectoryListView.h"
#include "directory/SearchBox.h"
#include "online/HttpClient.h"
#include "personal/ContactListModel.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "reports/RtfReader.h"
#include "reports/RtfView.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

namespace {
QByteArray record(const QByteArray& id, const QByteArray& title, const QByteArray& description,
                  const QByteArray& colour = {}) {
    QList<QByteArray> f{id, "35", title};
    for (int i = 3; i < 14; ++i)
        f << (i == 7 ? "042-1234567" : QByteArray());
    f << description << colour;
    return f.join(char(31)) + char(30);
}
} // namespace

class BusinessPageTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* personal = nullptr;
    TBDIR_FRM* page = nullptr;

    void showPage(const QString& base) {
        personal = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        personal->hide();
        page = new TBDIR_FRM(f->db(), *settings, area.get(), area.get());
        page->setPersonalPage(personal);
        page->setServiceBase(base);
        page->detailPane()->detailTimer().setInterval(1);
        QVERIFY(showInArea(page));
    }
    // Types the text into the search box and presses Enter, as the user does.
    void search(const QString& text) {
        page->searchBox()->clear();
        QTest::keyClicks(page->searchBox(), text);
        QTest::keyClick(page->searchBox(), Qt::Key_Return);
    }
    QString rcf() { return page->statusLabel()->text(); }
    int rows() { return page->resultModel()->rowCount(); }
    QString detailText() { return page->detailPane()->detailView()->toPlainText(); }

private slots:
    void init() { QVERIFY(setUpPage()); }
    void cleanup() {
        page = nullptr;
        personal = nullptr;
        tearDownPage();
    }

    void searchListsTheDirectoryWithDetailHistoryAndAdvert() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        showPage(service.base());
        QSignalSpy adverts(page, &TBDIR_FRM::advertQueryReady);
        search("tyres lahore");
        QTRY_VERIFY(rcf().endsWith(" Records Found"));
        const int found = rcf().section(u' ', 0, 0).toInt();
        QVERIFY(found > 0);
        QCOMPARE(rows(), found);
        QVERIFY(service.waitForRequests(1));
        QCOMPARE(service.requests().last(), QStringLiteral("/hvx/resultra.php?q=tyres+lahore 200"));

        // The first row is selected and, after the detail timer, shown with its buttons.
        const BusinessRow first = page->resultModel()->row(0);
        QCOMPARE(page->resultList()->firstSelectedRow(), 0);
        QTRY_VERIFY(detailText().startsWith(first.CNAM));
        QVERIFY(detailText().contains("Phone   : " + first.PHN));
        QVERIFY(page->actions()->button(ActionStrip::DL)->isEnabled());
        QCOMPARE(page->actions()->button(ActionStrip::MBL)->isEnabled(), !first.MOB.isEmpty());
        QCOMPARE(page->actions()->button(ActionStrip::HMP)->isEnabled(), !first.WEB.isEmpty());
        QVERIFY(page->actions()->button(ActionStrip::RTF)->isEnabled());
        QVERIFY(QFile::exists(f->root() + "/reports/BD_DV.RTF"));

        // Ring Phone hands the listing's phone numbers, city and title to the dialer.
        QSignalSpy dials(page, &Page::dialRequested);
        QTest::mouseClick(page->actions()->button(ActionStrip::DL), Qt::LeftButton);
        QCOMPARE(dials.size(), 1);
        const auto dial = dials[0][0].value<DialRequest>();
        QCOMPARE(dial.SettingsPrefix, QStringLiteral("PD"));
        QCOMPARE(dial.CityCode, QString::number(first.CCD));
        QCOMPARE(dial.DialTitle, first.CNAM);
        QVERIFY(!dial.MobileCall);
        QCOMPARE(dial.Numbers, first.PHN.split(u',', Qt::SkipEmptyParts));

        QCOMPARE(adverts.size(), 1);
        QCOMPARE(adverts[0][0].toString(), UrlEncode("tyres lahore " + first.BDS));
        QCOMPARE(page->searchBox()->suggestions().value(0), QStringLiteral("tyres lahore"));
        QVERIFY(!page->isBusy());
        QVERIFY(!QApplication::overrideCursor());

        // "View Report" writes the selected rows in list order from the business template.
        QTest::keyClick(page->resultList(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(page->resultList()->selectedRowNumbers().size(), found);
        QTest::mouseClick(page->actions()->button(ActionStrip::RTF), Qt::LeftButton);
        QFile report(f->root() + "/reports/BD_RP.RTF");
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray text = report.readAll();
        QVERIFY(text.indexOf(page->resultModel()->row(0).CNAM.toLatin1()) <
                text.indexOf(page->resultModel()->row(found - 1).CNAM.toLatin1()));

        // The search text and the history survive the program's end.
        page->finish();
        QCOMPARE(settings->ReadText(TBDIR_FRM::SearchKey, ""), QStringLiteral("tyres lahore"));
    }

    void searchTextsAreEncoded() {
        ServiceProcess service;
        showPage(service.base());
        search("a b");
        QTRY_VERIFY(rcf().endsWith(" Records Found"));
        search("123");
        QTRY_COMPARE(service.requests().size(), 2);
        QCOMPARE(service.requests()[0], QStringLiteral("/hvx/resultra.php?q=a+b 200"));
        // Digits are encoded; the network layer sends them in their equivalent plain form.
        QVERIFY(page->requestAddress("123").endsWith("resultra.php?q=%31%32%33"));
        QCOMPARE(service.requests()[1], QStringLiteral("/hvx/resultra.php?q=123 200"));

        // A blank search asks for nothing.
        search("   ");
        QTest::qWait(50);
        QCOMPARE(service.requests().size(), 2);
    }

    void enterTwiceWhileWaitingSendsOneRequest() {
        BrokenServer silent;
        silent.setMode(BrokenServer::Mode::Silent);
        showPage(silent.base());
        page->client()->setTimeout(400);
        QTimer::singleShot(50, page, [this] {
            QVERIFY(page->isBusy());
            QCOMPARE(rcf(), QStringLiteral("Waiting for Reply..."));
            QTest::keyClick(page->searchBox(), Qt::Key_Return);
        });
        search("cars");
        QCOMPARE(silent.connections(), 1);
        QCOMPARE(silent.requests().size(), 1);
        QCOMPARE(rcf(), QStringLiteral("Internet Connection Failed."));
        QCOMPARE(rows(), 0);
        QVERIFY(!page->isBusy());
    }

    void transferFailuresShowConnectionFailed() {
        BrokenServer server;
        showPage(server.base());
        QSignalSpy adverts(page, &TBDIR_FRM::advertQueryReady);
        const QByteArray listing = "1 Records Found>" + record("1", "Kept", "x");
        for (int status : {404, 500, 302}) {
            server.setAnswer(status, listing,
                             status == 302 ? "Location: http://127.0.0.1:1/\r\n" : QByteArray());
            search("cars");
            QCOMPARE(rcf(), QStringLiteral("Internet Connection Failed."));
            QCOMPARE(rows(), 0);
        }
        server.setMode(BrokenServer::Mode::CloseMidReply);
        search("cars");
        QCOMPARE(rcf(), QStringLiteral("Internet Connection Failed."));
        // The advertisement keyword is the text alone after a failed search.
        QCOMPARE(adverts.size(), 4);
        QCOMPARE(adverts.last()[0].toString(), QStringLiteral("cars"));

        // Nothing listens on the address at all.
        page->setServiceBase(QStringLiteral("http://127.0.0.1:1/hvx/"));
        search("cars");
        QCOMPARE(rcf(), QStringLiteral("Internet Connection Failed."));
    }

    void replyFormatsAndColours() {
        BrokenServer server;
        showPage(server.base());
        QSignalSpy adverts(page, &TBDIR_FRM::advertQueryReady);

        server.setAnswer(200, "Down for maintenance");
        search("car");
        QCOMPARE(rcf(), QStringLiteral("Down for maintenance"));
        QCOMPARE(rows(), 0);

        server.setAnswer(200, "3 Records Found>" + record("1", "Auto Tyres", "Tyres") +
                                  record("2", "Red Motors", "Cars", "#FF0000") +
                                  record("3", "Plain Motors", "Cars", "red"));
        search("car");
        QCOMPARE(rcf(), QStringLiteral("3 Records Found"));
        QCOMPARE(rows(), 3);
        QCOMPARE(adverts.last()[0].toString(), QStringLiteral("car+Tyres"));

        // What the user sees: the second row red, the third (bad colour) in the list's colour.
        auto* view = page->resultList();
        QTRY_VERIFY(detailText().startsWith("Auto Tyres"));
        const QImage shot = view->viewport()->grab().toImage();
        const int x = view->columnViewportPosition(3) + 30;
        const QColor red = shot.pixelColor(x, view->rowViewportPosition(1) + 12);
        const QColor plain = shot.pixelColor(x, view->rowViewportPosition(2) + 12);
        QCOMPARE(red, QColor(255, 0, 0));
        QCOMPARE(plain, view->palette().color(QPalette::Base));
    }

    // Bytes 128-159 of a reply are the same characters in the list, the detail pane and the
    // report (as \'80 a code page 1252 reader would show a euro sign instead).
    void bytesFrom128To159AreTheSameEverywhere() {
        BrokenServer server;
        showPage(server.base());
        server.setAnswer(200, "1 Records Found>" + record("1", "Euro \x80 Y \x9F", "Tyres"));
        search("car");
        QCOMPARE(rows(), 1);
        const QString title = QString::fromLatin1("Euro \x80 Y \x9F");
        QCOMPARE(page->resultModel()->index(0, 1).data().toString(), title);
        QTRY_VERIFY(detailText().startsWith(title));
        QTest::mouseClick(page->actions()->button(ActionStrip::RTF), Qt::LeftButton);
        QFile report(f->root() + "/reports/BD_RP.RTF");
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray rtf = report.readAll();
        QVERIFY(rtf.contains("Euro \\u128? Y \\u159?"));
        QVERIFY(!rtf.contains("\\'80") && !rtf.contains("\\'9f"));
        QTextDocument read;
        RtfReader::read(rtf, &read);
        QVERIFY(read.toPlainText().contains(title));
    }

    // A listing's e-mail address goes to the mail program alone: what follows '?' (headers,
    // attachments) is dropped.
    void mailToAListingCarriesTheAddressAlone() {
        BrokenServer server;
        showPage(server.base());
        QList<QByteArray> fields{"1", "35", "Mailer"};
        for (int i = 3; i < 16; ++i)
            fields << (i == 7 ? "042-1234567" : QByteArray());
        fields[11] = "a@b.c?attach=/home/user/.ssh/id_rsa&body=x";
        server.setAnswer(200, "1 Records Found>" + fields.join(char(31)) + char(30));
        search("mail");
        QCOMPARE(rows(), 1);
        QList<QUrl> opened;
        Shell::setObserver([&](const QUrl& url) { opened << url; });
        QTRY_VERIFY(page->actions()->button(ActionStrip::EM)->isEnabled());
        QTest::mouseClick(page->actions()->button(ActionStrip::EM), Qt::LeftButton);
        Shell::setObserver([](const QUrl&) {});
        QCOMPARE(opened, QList<QUrl>({QUrl("mailto:a@b.c")}));
    }

    void numberErrorIsShownOnceAndKeepsTheRowsBefore() {
        BrokenServer server;
        showPage(server.base());
        QSignalSpy adverts(page, &TBDIR_FRM::advertQueryReady);
        QStringList errors;
        TkApplication::setErrorObserver([&](const QString& text) { errors << text; });
        server.setAnswer(200, "3 Records Found>" + record("1", "First", "a") +
                                  record("x1", "Bad", "b") + record("3", "Third", "c"));
        search("car");
        TkApplication::setErrorObserver({});
        QCOMPARE(errors, QStringList{"'x1' is not a valid integer value."});
        QCOMPARE(rcf(), QStringLiteral("3 Records Found"));
        QCOMPARE(rows(), 1);
        QCOMPARE(page->resultModel()->row(0).CNAM, QStringLiteral("First"));
        QVERIFY(!page->isBusy());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(adverts.size(), 0);
    }

    void hugeReplyKeepsTheWindowUsable() {
        BrokenServer server;
        server.setMode(BrokenServer::Mode::Huge);
        server.setHugeBytes(50 * 1024 * 1024);
        showPage(server.base());
        search("car");
        QVERIFY(!page->isBusy());
        QVERIFY(rcf().size() <= 303);
        QVERIFY(!rcf().isEmpty());
    }

    // A reply of very many records lists the first 10,000 and says so.
    void manyRecordsListTheFirstTenThousand() {
        BrokenServer server;
        QByteArray reply = "10001 Records Found>";
        for (int i = 1; i <= 10001; ++i)
            reply += record(QByteArray::number(i), "Listing " + QByteArray::number(i), "x");
        server.setAnswer(200, reply);
        showPage(server.base());
        search("car");
        QCOMPARE(rows(), BusinessReply::MaxRows);
        QCOMPARE(rcf(), QStringLiteral("Showing the first %1 of %2")
                            .arg(QLocale().toString(10000), QLocale().toString(10001)));
    }

    void copiedListingsAppearInTheirFolder() {
        const int folder = f->addFolder(0, "Suppliers");
        BrokenServer server;
        showPage(server.base());
        personal->ReloadFolders();

        // Right-clicking the empty list offers nothing to copy.
        auto* view = page->resultList();
        rightClickAt(view, QPoint(60, 40));
        QTRY_VERIFY(page->listMenu()->isVisible());
        QVERIFY(!page->listMenu()->findChild<QAction*>("PC_SA")->isEnabled());
        page->listMenu()->hide();

        server.setAnswer(200, "3 Records Found>" + record("900", "Zeta Motors", "Cars") +
                                  record("901", "Alpha Tyres", "Tyres") +
                                  record("902", "Mid Autos", "Cars"));
        search("car");
        QCOMPARE(rows(), 3);
        view->selectAll();
        rightClickRow(view, 1);
        QMenu* menu = page->listMenu();
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(menu->findChild<QAction*>("PC_SA")->isEnabled());
        QCOMPARE(clickCopyToFolder(menu, folder).trimmed(), QStringLiteral("Suppliers"));
        QTRY_VERIFY(!menu->isVisible());

        QCOMPARE(f->count("CONT", QString("CTCD=%1 AND HOT IS NULL AND CD < 900").arg(folder)), 3);
        personal->ListContacts(folder);
        QStringList titles;
        for (int r = 0; r < personal->contactModel()->rowCount(); ++r)
            titles << personal->contactModel()->row(r).CNAM;
        QCOMPARE(titles, QStringList({"Alpha Tyres", "Mid Autos", "Zeta Motors"}));
        QCOMPARE(page->resultList()->selectedRowNumbers().size(), 3);
    }
};

// The program's application object, so faults leaving event handlers reach its error display.
int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    BusinessPageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_businesspage.moc"
