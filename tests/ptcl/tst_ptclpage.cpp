// The PTCL directory page driven as the user would, with the shipped plug-in in its host process
// searching the reference service's telephone directory on loopback: checks of the boxes, both
// kinds of search, the directory's errors, a plug-in that fails, the detail pane, ringing and
// copying entries into a personal folder.
#include "PageTestBase.h"
#include "ServiceProcess.h"
#include "app/SettingsStore.h"
#include "app/TkApplication.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/DetailPane.h"
#include "directory/DirectoryListView.h"
#include "directory/SearchBox.h"
#include "personal/ContactListModel.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "ptcl/PtclListModel.h"
#include "ptcl/TPFDIR_FRM.h"
#include "reports/RtfView.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

class PtclPageTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    std::unique_ptr<ServiceProcess> service;
    QTemporaryDir plugInFolder;
    TPDIR_FRM* personal = nullptr;
    TPFDIR_FRM* page = nullptr;

    // The shipped plug-in in a folder of its own, pointed at the test's service.
    QString installPlugIn(const QString& directory) {
        const QString library = plugInFolder.filePath(QStringLiteral("TessaroPlugin.so"));
        QFile::remove(library);
        QFile::copy(QStringLiteral(TK_STAGE_DIR "/bin/TessaroPlugin.so"), library);
        QFile conf(plugInFolder.filePath(QStringLiteral("TessaroPlugin.conf")));
        conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
        conf.write("directory=" + directory.toLatin1() + '\n');
        return library;
    }

    void showPage(bool withPlugIn = true) {
        personal = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        personal->hide();
        page = new TPFDIR_FRM(f->db(), *settings, area.get(), area.get());
        page->plugInHost().setProgram(HostProgram);
        page->setPersonalPage(personal);
        if (withPlugIn)
            QVERIFY(page->loadPlugIn(installPlugIn(service->base() + "ptcl.php")));
        page->detailPane()->detailTimer().setInterval(1);
        QVERIFY(showInArea(page));
    }
    // Types into a box and presses Enter, as the user does.
    void typeAndEnter(SearchBox* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    QString rcf() { return page->statusLabel()->text(); }
    QString firstName() { return rows() > 0 ? page->resultModel()->row(0).CNAM : QString(); }
    static inline const QString HostProgram = QStringLiteral(TK_STAGE_DIR "/bin/tk-plugin-host");
    int rows() { return page->resultModel()->rowCount(); }
    QString detailText() { return page->detailPane()->detailView()->toPlainText(); }

private slots:
    void init() {
        // The directory is reached directly on loopback, never through a desktop proxy.
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        QVERIFY(setUpPage());
        service = std::make_unique<ServiceProcess>();
        QVERIFY(service->isRunning());
    }
    void cleanup() {
        page = nullptr;
        personal = nullptr;
        tearDownPage();
        service.reset();
    }

    void nameSearchListsShowsDetailAndRemembers() {
        showPage();
        QSignalSpy adverts(page, &Page::advertQueryReady);
        page->nameBox()->setText("khan");
        typeAndEnter(page->addressBox(), "lahore");
        QTRY_VERIFY(rcf().endsWith(" Records Found"));
        QVERIFY(rows() > 0);
        QCOMPARE(rcf(), QStringLiteral("%1 Records Found").arg(rows()));
        for (int r = 0; r < rows(); ++r) {
            const PtclRow& row = page->resultModel()->row(r);
            QVERIFY(row.CNAM.contains("KHAN"));
            QVERIFY(row.ADR.contains("Lahore")); // addresses read with capitalised words
            QVERIFY(row.PHN.startsWith("042"));
        }
        const PtclRow first = page->resultModel()->row(0);
        QCOMPARE(page->resultList()->firstSelectedRow(), 0);
        QTRY_VERIFY(detailText().contains(first.CNAM));
        QVERIFY(page->actions()->button(ActionStrip::DL)->isEnabled());
        QVERIFY(page->actions()->button(ActionStrip::RTF)->isEnabled());
        QCOMPARE(adverts.size(), 1);
        QCOMPARE(adverts[0][0].toString(), QStringLiteral("ptcl"));
        QCOMPARE(page->nameBox()->suggestions().value(0), QStringLiteral("khan"));
        QCOMPARE(page->addressBox()->suggestions().value(0), QStringLiteral("lahore"));

        // Enter in the phone box searches by number whatever the other boxes hold.
        typeAndEnter(page->phoneBox(), first.PHN.mid(3));
        QTRY_VERIFY(rows() > 0 && page->resultModel()->row(0).PHN.mid(3) == first.PHN.mid(3));
        QStringList history;
        settings->ReadList("FD\\QPHN_L", history);
        QCOMPARE(history.value(0), first.PHN.mid(3));
    }

    void boxesAreCheckedBeforeAnythingIsSent() {
        showPage();
        page->statusLabel()->setText("before");
        for (const char* phone : {"", "1234", "12345", "12 345"}) {
            typeAndEnter(page->phoneBox(), phone);
            QCOMPARE(rcf(), QStringLiteral("before"));
        }
        page->nameBox()->clear();
        typeAndEnter(page->addressBox(), "  ");
        QCOMPARE(rcf(), QStringLiteral("before"));
        QVERIFY(service->requests().isEmpty());
        // At most seven characters go into the phone box.
        typeAndEnter(page->phoneBox(), "123456789");
        QCOMPARE(page->phoneBox()->text(), QStringLiteral("1234567"));
        QVERIFY(service->waitForRequests(1));
    }

    void directoryErrorsAndAMissingPlugIn() {
        QDir(service->dataDir()).mkpath("ptcl");
        QFile busy(service->dataDir() + "/ptcl/busy.txt");
        QVERIFY(busy.open(QIODevice::WriteOnly));
        busy.write("Server busy");
        busy.close();
        showPage();
        typeAndEnter(page->phoneBox(), "5551234");
        QTRY_COMPARE(rcf(), QStringLiteral("Server busy"));
        QCOMPARE(rows(), 0);
        QVERIFY(!page->isBusy());

        // Without a plug-in a search says so and nothing else breaks.
        delete page;
        page = new TPFDIR_FRM(f->db(), *settings, area.get(), area.get());
        page->plugInHost().setProgram(HostProgram);
        page->setTag(2);
        page->show();
        // (the test program's folder holds no plug-in library)
        typeAndEnter(page->phoneBox(), "5551234");
        QCOMPARE(rcf(), TPFDIR_FRM::NoPlugIn);
        QVERIFY(!page->isBusy());
        QVERIFY(!page->loadPlugIn(QStringLiteral(TK_TEST_PLUGIN_DIR "/testplugin_noexport.so")));
        typeAndEnter(page->phoneBox(), "5551234");
        QCOMPARE(rcf(), TPFDIR_FRM::NoPlugIn);
    }

    void aFailingPlugInCostsOnlyItsSearch() {
        showPage(false);
        QVERIFY(page->loadPlugIn(QStringLiteral(TK_TEST_PLUGIN_DIR "/testplugin_unruly.so")));
        const QString stopped = QStringLiteral("The PTCL plug-in stopped.");
        page->plugInHost().setHangLimit(500);
        for (const char* how : {"crash", "abort", "exit", "hang"}) {
            typeAndEnter(page->nameBox(), how);
            QCOMPARE(rcf(), stopped);
            QCOMPARE(rows(), 0);
            QVERIFY(!page->isBusy());
            QVERIFY(!QApplication::overrideCursor());
            typeAndEnter(page->nameBox(), "after");
            QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
            QCOMPARE(firstName(), QStringLiteral("after"));
        }

        // Escape ends a search the plug-in does not finish, long before its limit.
        page->plugInHost().setHangLimit(PlugInHost::DefaultHangLimitMs);
        const qint64 host = page->plugInHost().processId();
        QTimer::singleShot(300, page, [this] {
            QCOMPARE(rcf(), QStringLiteral("Waiting for Reply..."));
            QTest::keyClick(page->nameBox(), Qt::Key_Escape);
        });
        typeAndEnter(page->nameBox(), "hang");
        QCOMPARE(rcf(), TPFDIR_FRM::Cancelled);
        QVERIFY(!page->plugInHost().isRunning());
        QVERIFY(!page->isBusy());
        typeAndEnter(page->nameBox(), "after");
        QCOMPARE(firstName(), QStringLiteral("after"));
        QVERIFY(page->plugInHost().processId() != host);
        // Latin-1 crosses as today: an address the plug-in hands back keeps its accents.
        page->nameBox()->setText("cafe");
        page->addressBox()->setText(QStringLiteral("caf\u00e9 road"));
        QTest::keyClick(page->addressBox(), Qt::Key_Return);
        QCOMPARE(page->resultModel()->row(0).ADR, QStringLiteral("Caf\u00e9 Road"));
    }

    void ringHandsTheAreaCodeFromTheNumber() {
        PtclRow row;
        row.PHN = "0425551234";
        row.CNAM = "A & B";
        DialRequest request = TPFDIR_FRM::dialRequest(row);
        QCOMPARE(request.SettingsPrefix, QStringLiteral("FD"));
        QCOMPARE(request.AreaCode, QStringLiteral("042"));
        QVERIFY(request.CityCode.isEmpty());
        QCOMPARE(request.Numbers, QStringList{"5551234"});
        QVERIFY(!request.MobileCall);
        QCOMPARE(request.DialTitle, QStringLiteral("A & B"));
        row.PHN = "0511234567890123";
        QCOMPARE(TPFDIR_FRM::dialRequest(row).Numbers, QStringList{"1234567890"});

        showPage();
        QSignalSpy rings(page, &Page::dialRequested);
        typeAndEnter(page->nameBox(), "shah");
        QTRY_VERIFY(page->actions()->button(ActionStrip::DL)->isEnabled());
        QTest::mouseClick(page->actions()->button(ActionStrip::DL), Qt::LeftButton);
        QCOMPARE(rings.size(), 1);
        const PtclRow first = page->resultModel()->row(0);
        QCOMPARE(rings[0][0].value<DialRequest>().AreaCode, first.PHN.left(3));
    }

    void copiedEntriesAppearInTheirFolder() {
        const int folder = f->addFolder(0, "Landlines");
        showPage();
        personal->ReloadFolders();
        typeAndEnter(page->nameBox(), "rana");
        QTRY_VERIFY(rows() >= 2);
        auto* view = page->resultList();
        view->selectionModel()->select(
            QItemSelection(view->model()->index(0, 0), view->model()->index(1, 3)),
            QItemSelectionModel::ClearAndSelect);
        rightClickRow(view, 1);
        QTRY_VERIFY(page->listMenu()->isVisible());
        QCOMPARE(clickCopyToFolder(page->listMenu(), folder).trimmed(),
                 QStringLiteral("Landlines"));
        QTRY_VERIFY(!page->listMenu()->isVisible());

        QCOMPARE(f->count("CONT", QString("CTCD=%1 AND HOT IS NULL").arg(folder)), 2);
        personal->ListContacts(folder);
        QStringList phones;
        for (int r = 0; r < personal->contactModel()->rowCount(); ++r)
            phones << personal->contactModel()->row(r).PHN;
        phones.sort();
        QStringList expected{page->resultModel()->row(0).PHN, page->resultModel()->row(1).PHN};
        expected.sort();
        QCOMPARE(phones, expected);
    }
};

// The program's application object, so faults leaving event handlers reach its error display.
int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    PtclPageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ptclpage.moc"
