// The personal directory page driven through the mouse and the keyboard as a user works it:
// drags started with the mouse and dropped on the folder tree, double clicks, the keys beside
// the menus, and the tree and list after a folder is deleted.
#include "PageTestBase.h"
#include "app/BalloonPresenter.h"
#include "app/SettingsStore.h"
#include "directory/ActionButton.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/Prompt.h"
#include "personal/TC_EDT_FRM.h"
#include "personal/TPC_EDT_FRM.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "reports/ReportWindow.h"

#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QtTest>

class PersonalUseTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* page = nullptr;

    void showPage() {
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        page->setGeometry(0, 0, 1200, 760);
        page->setTag(2);
        area->show();
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));
        page->show();
        QApplication::processEvents();
    }
    QWindow* window() const { return area->windowHandle(); }
    FolderTreeView* tree() const { return page->folderTree(); }
    ContactListView* list() const { return page->contactList(); }
    QStringList listed() const {
        QStringList titles;
        for (int r = 0; r < page->contactModel()->rowCount(); ++r)
            titles << page->contactModel()->row(r).CNAM;
        return titles;
    }
    // The middle of a folder's row, in the window's coordinates.
    QPoint folderPoint(int cd) const {
        const QRect rect = tree()->visualRect(page->folderModel()->findFolder(cd));
        return tree()->viewport()->mapTo(area.get(), rect.center());
    }
    QPoint contactPoint(int row) const {
        const QRect rect = list()->visualRect(page->contactModel()->index(row, 1));
        return list()->viewport()->mapTo(area.get(), rect.center());
    }
    // A point of the viewport below its last row, in the viewport's coordinates.
    static QPoint belowTheRows(QAbstractItemView* view) {
        return QPoint(60, view->viewport()->height() - 8);
    }
    int folderOf(int contact) {
        return f->text("CTCD", "CONT", QStringLiteral("CD=%1").arg(contact)).toInt();
    }
    int parentOf(int folder) {
        return f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(folder)).toInt();
    }
    // Keys reach the control as typed: the window is the active one (a closed modal editor may
    // have left none active) and the control has the focus.
    void focusOn(QWidget* control) {
        area->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(area.get()));
        control->setFocus();
    }
    void clickFolder(int cd) { QTest::mouseClick(window(), Qt::LeftButton, {}, folderPoint(cd)); }

    // Presses the left button at `from`, moves with it held along `path` and lets go at the
    // end, as the window system delivers a real mouse. The drag that the first moves start runs
    // its own event loop, which the later moves and the release reach.
    // `meanwhile` runs once the drag is under way.
    void dragWithMouse(QPoint from, const QList<QPoint>& path,
                       const std::function<void()>& meanwhile = {}) {
        QTest::mousePress(window(), Qt::LeftButton, {}, from);
        QTest::mouseMove(window(), from + QPoint(4, 0));
        QTimer::singleShot(0, this, [this, path, meanwhile] {
            if (meanwhile)
                meanwhile();
            for (const QPoint& p : path) {
                QTest::mouseMove(window(), p);
                QTest::qWait(20);
            }
            QTest::mouseRelease(window(), Qt::LeftButton, {}, path.last());
        });
        QTest::mouseMove(window(), from + QPoint(30, 0));
        QApplication::processEvents();
    }
    // Points on the way from `a` to `b`, so the drag passes over what lies between.
    static QList<QPoint> way(QPoint a, QPoint b, int steps = 6) {
        QList<QPoint> points;
        for (int i = 1; i <= steps; ++i)
            points << a + (b - a) * i / steps;
        return points;
    }

    // Runs `check` on the modal editor once it is shown, then closes the editor. The editor
    // may open at once or after the event that asks for it, so its showing is watched for.
    template <typename Editor> void whenShown(Editor* editor, std::function<void()> check) {
        m_editorSeen = false;
        delete m_watch;
        m_watch = new QTimer(this);
        m_watch->setInterval(5);
        QTimer* watch = m_watch;
        connect(watch, &QTimer::timeout, editor, [this, editor, check, watch] {
            if (!editor->isVisible())
                return;
            watch->stop();
            m_editorSeen = true;
            // A failed check must not leave the modal editor open.
            const auto close = qScopeGuard([editor] { editor->reject(); });
            check();
        });
        watch->start();
    }
    QPointer<QTimer> m_watch;
    bool m_editorSeen = false;
    QByteArray reportFile() const { return readAll(f->root() + "/reports/PD_RP.RTF"); }
    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString balloonText() { return BalloonPresenter::instance()->text(); }

private slots:
    void init() {
        QVERIFY(setUpPage());
        area->setGeometry(0, 0, 1200, 760);
    }
    void cleanup() {
        page = nullptr;
        tearDownPage();
    }

    // Contacts dragged from the list enter the tree over "All Contacts", which takes no drop,
    // pass over it and are let go over a folder: they move there.
    void contactsDraggedAcrossFolderOneOntoAFolder() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        const int c1 = f->addContact(a, "C1");
        const int c2 = f->addContact(a, "C2");
        showPage();
        clickFolder(a);
        QCOMPARE(listed(), QStringList({"C1", "C2"}));
        list()->selectAll();
        const QPoint start = contactPoint(0);
        QList<QPoint> path = way(start, folderPoint(1));
        path << way(folderPoint(1), folderPoint(b), 3);
        // The window system stops feeding a widget that refused the drag's entry; the tree
        // takes the entry even over "All Contacts", where no drop is taken.
        bool enteredOverFolderOne = false;
        dragWithMouse(start, path, [&] {
            const QPoint at = tree()->viewport()->mapFrom(area.get(), folderPoint(1));
            const std::unique_ptr<QMimeData> data(page->contactModel()->mimeData({}));
            QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QCoreApplication::sendEvent(tree()->viewport(), &enter);
            enteredOverFolderOne = enter.isAccepted();
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(tree()->viewport(), &leave);
        });
        QVERIFY(enteredOverFolderOne);
        QCOMPARE(folderOf(c1), b);
        QCOMPARE(folderOf(c2), b);
        QCOMPARE(listed(), QStringList()); // folder A's listing ran again
        // Let go over "All Contacts": nothing moves.
        clickFolder(b);
        list()->selectAll();
        dragWithMouse(contactPoint(0), way(contactPoint(0), folderPoint(1)));
        QCOMPARE(folderOf(c1), b);
        QCOMPARE(listed(), QStringList({"C1", "C2"}));
    }

    // Hovering a contact drag over a closed folder opens it, so a folder inside can be reached.
    void hoveringOpensAClosedFolder() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        const int b1 = f->addFolder(b, "B1");
        const int c = f->addContact(a, "Cee");
        showPage();
        tree()->collapseAll();
        clickFolder(a);
        list()->selectAll();
        const QModelIndex bIndex = page->folderModel()->findFolder(b);
        QVERIFY(!tree()->isExpanded(bIndex));
        const QPoint start = contactPoint(0);
        const QPoint overB = folderPoint(b);
        // Once B is open, B1 is the row just below it.
        const QPoint overB1 = overB + QPoint(0, tree()->visualRect(bIndex).height());
        // The pointer rests over B until it opens: every move restarts the hover time, and a
        // second rest over an open folder would close it again.
        bool opened = false;
        dragWithMouse(start, {overB1}, [&] {
            for (const QPoint& p : way(start, overB)) {
                QTest::mouseMove(window(), p);
                QTest::qWait(1);
            }
            QElapsedTimer rest;
            rest.start();
            while (!tree()->isExpanded(bIndex) && rest.elapsed() < 5000)
                QTest::qWait(5);
            opened = tree()->isExpanded(bIndex);
        });
        QVERIFY(opened);
        QCOMPARE(folderOf(c), b1);
    }

    // A folder drag starts over the dragged folder itself: the tree takes it in there and the
    // drop onto another folder moves it. Folder 1 never moves.
    void folderDraggedOntoAnotherFolder() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        showPage();
        clickFolder(a);
        dragWithMouse(folderPoint(a), way(folderPoint(a), folderPoint(b)));
        QCOMPARE(parentOf(a), b);
        QCOMPARE(page->GetFolderPath(a), QStringLiteral("B\\A"));
        // Let go over the dragged folder itself: nothing changes.
        tree()->expandAll();
        clickFolder(a);
        dragWithMouse(folderPoint(a), {folderPoint(a) + QPoint(40, 0), folderPoint(a)});
        QCOMPARE(parentOf(a), b);
        // Folder 1 cannot be dragged onto a folder.
        clickFolder(1);
        dragWithMouse(folderPoint(1), way(folderPoint(1), folderPoint(b)));
        QCOMPARE(parentOf(1), 0);
        QCOMPARE(page->folderModel()->findFolder(1).parent(), QModelIndex());
    }

    // After a folder is deleted, the folder the tree highlights is the selected one and the
    // list shows its contacts, also when the user clicks it again.
    void deletingAFolderKeepsTreeAndListInStep() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        f->addContact(b, "Bee");
        showPage();
        clickFolder(a);
        QCOMPARE(listed(), QStringList());
        tree()->setFocus();
        Prompt::setNextAnswer(QMessageBox::Yes);
        QTest::keyClick(tree(), Qt::Key_Delete);
        QCOMPARE(Prompt::lastText(), QStringLiteral("Delete selected \"Folder\" permanently."));
        QCOMPARE(f->count("CATE", QStringLiteral("CD=%1").arg(a)), 0);
        // The neighbour the tree now highlights is selected and listed ("Bee" is in B and so
        // in "All Contacts" as well).
        const QModelIndex highlighted = tree()->currentIndex().siblingAtColumn(0);
        QVERIFY(highlighted.isValid());
        QCOMPARE(page->selectedFolderIndex(), highlighted);
        QCOMPARE(listed(), QStringList({"Bee"}));
        const int shown = page->folderModel()->folderId(highlighted);
        clickFolder(shown);
        QCOMPARE(listed(), QStringList({"Bee"}));
        clickFolder(b);
        QCOMPARE(listed(), QStringList({"Bee"}));
    }

    // A double click anywhere in the tree or the list, below the rows too, opens the editor
    // for the selected folder or contact.
    void doubleClickAnywhereOpensTheEditor() {
        const int a = f->addFolder(0, "A");
        const int c = f->addContact(a, "Alpha");
        showPage();
        clickFolder(a);
        // The editor opens once the double click has been handled.
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, belowTheRows(tree()));
        whenShown(page->folderEditor(), [this, a] {
            QCOMPARE(page->folderEditor()->mode(), 2);
            QCOMPARE(page->folderEditor()->EditFolderId, a);
        });
        QTRY_VERIFY(m_editorSeen);
        QCOMPARE(page->selectedFolder().CD, a);

        QCOMPARE(listed(), QStringList({"Alpha"}));
        whenShown(page->contactEditor(), [this, c] {
            QCOMPARE(page->contactEditor()->mode(), 2);
            QCOMPARE(page->contactEditor()->ContactId, c);
        });
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, belowTheRows(list()));
        QTRY_VERIFY(m_editorSeen);
        // On a row, as before.
        whenShown(page->contactEditor(),
                  [this, c] { QCOMPARE(page->contactEditor()->ContactId, c); });
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                           list()->visualRect(page->contactModel()->index(0, 1)).center());
        QTRY_VERIFY(m_editorSeen);
    }

    // The keys beside the menus act on the control that has the focus, with the menus' rules.
    void keysCreateUpdateDeleteAndFind() {
        const int a = f->addFolder(0, "A");
        const int c = f->addContact(a, "Alpha");
        f->addContact(a, "Bravo");
        showPage();
        clickFolder(a);

        // In the tree: Insert creates a folder, F2 and Enter update the selected one.
        focusOn(tree());
        whenShown(page->folderEditor(), [this] { QCOMPARE(page->folderEditor()->mode(), 1); });
        QTest::keyClick(tree(), Qt::Key_Insert);
        QVERIFY(m_editorSeen);
        for (Qt::Key key : {Qt::Key_F2, Qt::Key_Return}) {
            focusOn(tree());
            whenShown(page->folderEditor(), [this, a] {
                QCOMPARE(page->folderEditor()->mode(), 2);
                QCOMPARE(page->folderEditor()->EditFolderId, a);
            });
            QTest::keyClick(tree(), key);
            QVERIFY2(m_editorSeen, qPrintable(QKeySequence(key).toString()));
        }

        // In the list: Ctrl+N creates a contact in the selected folder, F2 and Enter update.
        focusOn(list());
        list()->focusRow(0);
        whenShown(page->contactEditor(), [this, a] {
            QCOMPARE(page->contactEditor()->mode(), 1);
            QCOMPARE(page->contactEditor()->FolderId, a);
        });
        QTest::keyClick(list(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(m_editorSeen);
        for (Qt::Key key : {Qt::Key_F2, Qt::Key_Enter}) {
            focusOn(list());
            whenShown(page->contactEditor(), [this, c] {
                QCOMPARE(page->contactEditor()->mode(), 2);
                QCOMPARE(page->contactEditor()->ContactId, c);
            });
            QTest::keyClick(list(), key);
            QVERIFY2(m_editorSeen, qPrintable(QKeySequence(key).toString()));
        }

        // Delete asks first; No keeps the contact, Yes deletes it.
        focusOn(list());
        Prompt::setNextAnswer(QMessageBox::No);
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(Prompt::lastText(),
                 QStringLiteral("Delete all selected \"Contacts\" permanently."));
        QCOMPARE(f->count("CONT", QStringLiteral("CD=%1").arg(c)), 1);
        Prompt::setNextAnswer(QMessageBox::Yes);
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(f->count("CONT", QStringLiteral("CD=%1").arg(c)), 0);
        QCOMPARE(listed(), QStringList({"Bravo"}));

        // "All Contacts" is never deleted and takes no new contact: the keys do nothing there.
        clickFolder(1);
        focusOn(tree());
        Prompt::setNextAnswer(QMessageBox::Yes);
        QTest::keyClick(tree(), Qt::Key_Delete);
        QCOMPARE(f->count("CATE", "CD=1"), 1);
        focusOn(list());
        list()->clearSelection();
        whenShown(page->contactEditor(), [] {});
        QTest::keyClick(list(), Qt::Key_Insert);
        QVERIFY(!m_editorSeen);

        // Ctrl+F goes to the search box with its text selected.
        auto* srb = page->findChild<QLineEdit*>("SRB");
        srb->setText("khan");
        focusOn(list());
        QTest::keyClick(list(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), srb);
        QCOMPARE(srb->selectedText(), QStringLiteral("khan"));
    }

    // The report prints how many entries it lists, also when there are none.
    void reportCountsItsEntries() {
        f->addContact(1, "Alpha");
        f->addContact(1, "Bravo");
        showPage();
        list()->selectAll();
        page->RTFClick();
        QVERIFY(reportFile().contains("Entries listed: {\\b\\ab\\cf1 2}"));
        list()->clearSelection();
        page->RTFClick();
        QVERIFY2(reportFile().contains("Entries listed: {\\b\\ab\\cf1 0}"),
                 reportFile().right(200));
    }

    // When the desktop has no program for e-mail or the web, a balloon at the button says so;
    // a report it cannot open shows in the program's own window.
    void unopenedAddressesAndFilesAreReported() {
        f->addContact(1, "Alpha", {{"EML", "a@x.pk"}, {"WEB", "www.a.pk"}});
        showPage();
        QTRY_VERIFY(page->actionButton(4)->isEnabled());
        Shell::setObserver(nullptr);
        // An opener that finds no program, as the desktop's does: it fails and says nothing.
        QTemporaryDir tools;
        const QString script = tools.filePath("opener");
        const QString asked = tools.filePath("asked");
        {
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\nexit 3\n").arg(asked).toUtf8());
        }
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Shell::setOpener(script);
        const auto restore = qScopeGuard([] { Shell::setOpener({}); });

        // The report the desktop cannot open shows in the program's own report window.
        QTest::mouseClick(page->actionButton(4), Qt::LeftButton);
        const QString report = QFileInfo(f->root() + "/reports/PD_RP.RTF").absoluteFilePath();
        QTRY_VERIFY(ReportWindow::existing() && ReportWindow::existing()->isVisible());
        QCOMPARE(ReportWindow::existing()->reportFile(), report);
        QCOMPARE(QString::fromUtf8(readAll(asked)).trimmed(), report);
        delete ReportWindow::existing();

        QTest::mouseClick(page->actionButton(2), Qt::LeftButton);
        QTRY_VERIFY(BalloonPresenter::instance()->isShowing());
        QVERIFY2(balloonText().contains("http://www.a.pk"), qPrintable(balloonText()));

        // No opener at all.
        Shell::setOpener(tools.filePath("missing"));
        BalloonPresenter::instance()->hideMessage();
        QTest::mouseClick(page->actionButton(0), Qt::LeftButton);
        QTRY_VERIFY(BalloonPresenter::instance()->isShowing());
        QVERIFY2(balloonText().contains("e-mail"), qPrintable(balloonText()));
    }

    // A folder's '&' shows as itself in the folder menus that other pages fill.
    void folderMenuShowsAmpersands() {
        const int rd = f->addFolder(0, "R&D");
        showPage();
        QMenu menu;
        QList<int> chosen;
        page->FillFolderMenu(&menu, [&](QAction* item) { chosen << item->data().toInt(); });
        QCOMPARE(menu.actions().size(), 1);
        QCOMPARE(menu.actions().first()->iconText(), QStringLiteral("R&D"));
        menu.actions().first()->trigger();
        QCOMPARE(chosen, QList<int>({rd}));
    }

    // An empty folder's list shows a quiet hint; a listing with rows does not.
    void emptyFolderShowsAHint() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        f->addContact(b, "Bee");
        showPage();
        clickFolder(b);
        const QImage withRows = list()->viewport()->grab().toImage();
        clickFolder(a);
        // With the focus in the folder tree, Insert adds a folder: the hint says so.
        QTRY_VERIFY(page->folderTree()->hasFocus());
        QVERIFY2(list()->emptyText().contains("In the folder list Insert adds a folder;"),
                 qPrintable(list()->emptyText()));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->viewport()->rect().center());
        QTRY_VERIFY(list()->hasFocus());
        QCOMPARE(list()->emptyText(), QStringLiteral("This folder has no contacts. Press Insert, "
                                                     "or right-click here, to add one."));
        const QImage empty = list()->viewport()->grab().toImage();
        // The hint is drawn in the middle of the empty list.
        const QRect middle(empty.width() / 2 - 100, empty.height() / 2 - 10, 200, 20);
        QVERIFY(empty.copy(middle) != withRows.copy(middle));
        bool marked = false;
        const QColor background = empty.pixelColor(5, empty.height() - 5);
        for (int x = middle.left(); x < middle.right() && !marked; ++x)
            for (int y = middle.top(); y < middle.bottom() && !marked; ++y)
                marked = empty.pixelColor(x, y) != background;
        QVERIFY(marked);
        // A search that finds nothing shows no hint.
        page->findChild<QLineEdit*>("SRB")->setText("zzz");
        page->SRBButtonClick();
        QTRY_VERIFY(!page->isSearching());
        QVERIFY(list()->emptyText().isEmpty());
    }
};

int main(int argc, char** argv) {
    // A drag runs on the platform's own drag machinery, which the offscreen platform does not
    // have; the minimal platform runs Qt's generic one, fed by the mouse events below.
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"))
        qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    QApplication app(argc, argv);
    PersonalUseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_personaluse.moc"
