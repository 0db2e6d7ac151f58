// The personal directory page driven as the user would: first showing, folder actions, drops,
// searches, the history, highlighting, contact actions, enabling and settings.
#include "PageTestBase.h"
#include "app/BalloonPresenter.h"
#include "app/SettingsStore.h"
#include "app/TkApplication.h"
#include "data/DatabaseError.h"
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
#include "reports/ReportFileError.h"
#include "reports/ReportTable.h"
#include "reports/RtfView.h"
#include "reports/TReporterException.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSemaphore>
#include <QTimer>
#include <QtTest>

#include "data/Query.h"
#include "personal/ContactSearchRunner.h"

class PersonalPageTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* page = nullptr;
    QList<QUrl> opened;

    void showPage() {
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        QVERIFY(showInArea(page));
    }
    QStringList listed() {
        QStringList titles;
        for (int r = 0; r < page->contactModel()->rowCount(); ++r)
            titles << page->contactModel()->row(r).CNAM;
        return titles;
    }
    void selectFolder(int cd) {
        page->folderTree()->selectFolder(page->folderModel()->findFolder(cd));
    }
    void selectRows(const QList<int>& rows) {
        auto* view = page->contactList();
        view->clearSelection();
        for (int r : rows)
            view->selectionModel()->select(page->contactModel()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void search(const QString& text, int field = 0) {
        page->findChild<QComboBox*>("FLDS")->setCurrentIndex(field);
        page->findChild<QLineEdit*>("SRB")->setText(text);
        page->SRBButtonClick();
        QTRY_VERIFY(!page->isSearching());
    }
    // Holds the running search between its count and its listing until released.
    struct HeldSearch {
        QSemaphore reached, release;
        explicit HeldSearch(TPDIR_FRM* page) {
            page->searchRunner()->setBetweenSteps([this] {
                reached.release();
                release.acquire();
            });
        }
    };
    QString detailText() { return page->detailView()->toPlainText(); }
    QByteArray reportsFile(const QString& name) {
        QFile file(f->root() + "/reports/" + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeTemplate(const QString& name, const QByteArray& text) {
        QFile file(f->root() + "/templates/" + name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    // The TITLE column (1) of the report table's first row.
    QVariant reportTitle() { return page->reportTable().valueAt(0, 1); }
    QString rcf() { return page->findChild<QLabel*>("RCF")->text(); }
    static QString balloon() { return BalloonPresenter::instance()->text(); }
    bool bold(int row, int column) {
        auto* m = page->contactModel();
        return m->data(m->index(row, column), Qt::FontRole).value<QFont>().bold();
    }
    // Runs `fill` on the modal editor once it is shown.
    template <typename Editor> void whenShown(Editor* editor, std::function<void()> fill) {
        QTimer::singleShot(0, editor, [editor, fill] {
            if (editor->isVisible())
                fill();
            else
                QFAIL("editor not shown");
            // A failed check inside `fill` must not leave the modal editor open.
            if (editor->isVisible())
                editor->reject();
        });
    }

private slots:
    void init() {
        QVERIFY(setUpPage());
        opened.clear();
        Shell::setObserver([this](const QUrl& url) { opened << url; });
    }
    void cleanup() {
        page = nullptr;
        tearDownPage();
    }

    void firstShowingWithFolderOneOnly() {
        f->addContact(1, "Zeta");
        f->addContact(1, "Alpha");
        settings->WriteText(TPDIR_FRM::SearchKey, "kept text");
        settings->WriteNumber(TPDIR_FRM::DetailHeightKey, 200);
        showPage();
        QCOMPARE(page->tag(), 1);
        QCOMPARE(page->folderModel()->rowCount(), 1);
        QVERIFY(!page->folderModel()->hasChildren(page->folderModel()->index(0, 0)));
        QCOMPARE(page->selectedFolder().CD, 1);
        QCOMPARE(listed(), QStringList({"Alpha", "Zeta"}));
        QCOMPARE(page->contactModel()->listSql(),
                 QStringLiteral("SELECT * FROM CONT ORDER BY CNAM"));
        QCOMPARE(page->contactList()->firstSelectedRow(), 0);
        auto* srb = page->findChild<QLineEdit*>("SRB");
        QCOMPARE(srb->text(), QStringLiteral("kept text"));
        QCOMPARE(srb->selectedText(), QStringLiteral("kept text"));
        QCOMPARE(page->findChild<QWidget*>("DTP")->height(), 200);
        // The five buttons stand in the strip at (height / 4 - 15) * i.
        const int step = page->findChild<QWidget*>("BTN_STRIP")->height() / 4 - 15;
        QCOMPARE(page->findChild<QWidget*>("HMP")->y(), 3 * step);
        // Settings are written at the end.
        srb->setText("last");
        page->finish();
        QCOMPARE(settings->ReadText(TPDIR_FRM::SearchKey, ""), QStringLiteral("last"));
        QCOMPARE(settings->ReadNumber(TPDIR_FRM::DetailHeightKey, 0), 200);
        QCOMPARE(settings->ReadFlag(TPDIR_FRM::DetailMaximisedKey, true), false);
    }

    void hiddenRowUnderFolderOneNeverShown() {
        f->addFolder(1, "Under One");
        showPage();
        QCOMPARE(page->folderModel()->rowCount(), 1);
        QVERIFY(!page->folderModel()->hasChildren(page->folderModel()->index(0, 0)));
        QMenu menu;
        page->FillFolderMenu(&menu, [](QAction*) {});
        QVERIFY(menu.actions().isEmpty());
    }

    void createFolderUnderFolderOneIsTopLevel() {
        showPage();
        selectFolder(1);
        page->C_MNUPopup();
        QVERIFY(page->folderMenu()->findChild<QAction*>("C_CR")->isEnabled());
        QVERIFY(!page->folderMenu()->findChild<QAction*>("C_DL")->isEnabled());
        TC_EDT_FRM* editor = page->folderEditor();
        whenShown(editor, [editor] {
            QVERIFY(editor->findChild<QLineEdit*>("PRT")->text().isEmpty());
            editor->findChild<QLineEdit*>("TITLE")->setText("Suppliers");
            editor->SAVClick();
            editor->EXTClick();
        });
        page->C_MNUClick(1);
        QCOMPARE(f->text("PCD", "CATE", "TITLE='Suppliers'"), QStringLiteral("0"));
        // Reloaded, the user's place kept.
        QCOMPARE(page->folderModel()->rowCount(), 2);
        QCOMPARE(page->selectedFolder().CD, 1);
    }

    void createAndUpdateUnderAParent() {
        const int clients = f->addFolder(0, "Clients");
        const int north = f->addFolder(clients, "North");
        showPage();
        selectFolder(north);
        TC_EDT_FRM* editor = page->folderEditor();
        whenShown(editor, [editor] {
            QCOMPARE(editor->findChild<QLineEdit*>("PRT")->text(),
                     QStringLiteral("Clients\\North"));
            editor->findChild<QLineEdit*>("TITLE")->setText("Retail");
            editor->SAVClick();
            editor->EXTClick();
        });
        page->C_MNUClick(1);
        const int retail = f->db().MM.QueryInteger("CD", "CATE", "TITLE='Retail'");
        QCOMPARE(page->GetFolderPath(retail), QStringLiteral("Clients\\North\\Retail"));
        // Update: the parent's path is shown and the new title appears without a reload.
        selectFolder(retail);
        whenShown(editor, [editor] {
            QCOMPARE(editor->findChild<QLineEdit*>("PRT")->text(),
                     QStringLiteral("Clients\\North"));
            editor->findChild<QLineEdit*>("TITLE")->setText("Retailers");
            editor->SAVClick();
        });
        page->C_MNUClick(2);
        QCOMPARE(page->selectedFolder().TITLE, QStringLiteral("Retailers"));
        QCOMPARE(page->GetFolderPath(retail), QStringLiteral("Clients\\North\\Retailers"));
    }

    void deleteFolderSubtreeAfterYes() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        f->addFolder(a1, "A11");
        const int keep = f->addContact(a1, "Kept Contact");
        showPage();
        selectFolder(a);
        Prompt::setNextAnswer(QMessageBox::No);
        page->C_MNUClick(3);
        QCOMPARE(Prompt::lastText(), QStringLiteral("Delete selected \"Folder\" permanently."));
        QCOMPARE(f->count("CATE"), 4);
        Prompt::setNextAnswer(QMessageBox::Yes);
        page->C_MNUClick(3);
        QCOMPARE(f->count("CATE"), 1);
        QCOMPARE(f->count("CONT", QStringLiteral("CD=%1").arg(keep)), 1);
        // "All Contacts", now highlighted, lists the kept contact.
        QCOMPARE(page->selectedFolder().CD, 1);
        QCOMPARE(page->contactModel()->rowCount(), 1);
        page->ReloadFolders();
        QCOMPARE(page->folderModel()->rowCount(), 1);
    }

    void folderDrops() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        f->addFolder(0, "B");
        showPage();
        auto* tree = page->folderTree();
        // The drag rules.
        selectFolder(a);
        QVERIFY(tree->acceptsDrag(tree, {}));
        QVERIFY(!tree->acceptsDrag(tree, page->folderModel()->findFolder(a)));
        QVERIFY(!tree->acceptsDrag(tree, page->folderModel()->findFolder(1)));
        QVERIFY(!tree->acceptsDrag(nullptr, page->folderModel()->findFolder(a1)));
        QVERIFY(tree->acceptsDrag(page->contactList(), page->folderModel()->findFolder(a1)));
        selectFolder(1);
        QVERIFY(!tree->acceptsDrag(tree, {}));                // folder 1 is never dragged
        QVERIFY(!tree->acceptsDrag(page->contactList(), {})); // nor a target
        // Onto its own child: refused with the message, nothing written.
        selectFolder(a);
        Prompt::setNextAnswer(QMessageBox::Ok);
        page->VST_FFolderDrop(page->folderModel()->findFolder(a1));
        QCOMPARE(Prompt::lastText(),
                 QStringLiteral("Target node cannot be a child node of the node to be moved."));
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(a)), QStringLiteral("0"));
        // Onto empty space: top level, last.
        selectFolder(a1);
        page->VST_FFolderDrop({});
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(a1)), QStringLiteral("0"));
        auto* m = page->folderModel();
        QCOMPARE(m->folderRow(m->index(m->rowCount() - 1, 0)).CD, a1);
    }

    void threeContactsDroppedOnAFolder() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        for (const char* t : {"C1", "C2", "C3", "C4"})
            f->addContact(a, t);
        showPage();
        selectFolder(a);
        QCOMPARE(listed().size(), 4);
        selectRows({0, 2, 3});
        page->VST_FContactDrop(page->folderModel()->findFolder(b));
        QCOMPARE(f->count("CONT", QStringLiteral("CTCD=%1").arg(b)), 3);
        QCOMPARE(listed(), QStringList({"C2"})); // the listing ran again
        Databases other;
        other.open(f->root() + "/DATA/DATA.FDB", f->root() + "/DATA/SYS.FDB");
        QCOMPARE(other.MM.QueryCount(QString(), "CONT", QStringLiteral("CTCD=%1").arg(b)), 3);
        // Dropped on empty space: nothing happens.
        selectRows({0});
        page->VST_FContactDrop({});
        QCOMPARE(f->count("CONT", QStringLiteral("CTCD=%1").arg(a)), 1);
    }

    void searchesAndRecordCount() {
        const int a = f->addFolder(0, "A");
        f->addContact(a, "O'Neil Traders");
        f->addContact(1, "Khan Brothers", {{"PNAM", "Imran Khan"}});
        f->addContact(1, "Plain");
        showPage();
        selectFolder(a);
        search("O'Neil", 1);
        QCOMPARE(listed(), QStringList({"O'Neil Traders"}));
        QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
        QVERIFY(page->contactModel()->listSql().contains("UPPER(CNAM) LIKE '%O''NEIL%'"));
        // Clicking a folder keeps the words and the count text.
        selectFolder(1);
        QCOMPARE(listed().size(), 3);
        QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
        QCOMPARE(page->contactModel()->searchWords(), QStringList({"O'NEIL"}));
        // An empty text lists the selected folder and clears the count.
        search("");
        QCOMPARE(rcf(), QString());
        QCOMPARE(listed().size(), 3);
    }

    void firstShowingListsFolderOneOnce() {
        f->addContact(1, "Zeta");
        f->addContact(1, "Alpha");
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        QSignalSpy listings(page->contactModel(), &QAbstractItemModel::rowsInserted);
        QVERIFY(showInArea(page));
        QCOMPARE(listings.size(), 1);
        QCOMPARE(listed(), QStringList({"Alpha", "Zeta"}));
        QCOMPARE(page->contactList()->firstSelectedRow(), 0);
    }

    // Escape, or the search button again, stops a running search: the list, its words and the
    // count text stay as the last finished search left them.
    void cancelledSearchKeepsThePreviousList() {
        f->addContact(1, "Khan Brothers");
        f->addContact(1, "Alpha Khan");
        f->addContact(1, "Beta");
        showPage();
        search("beta");
        QCOMPARE(listed(), QStringList({"Beta"}));
        auto* srb = page->findChild<QLineEdit*>("SRB");
        for (const bool escape : {true, false}) {
            HeldSearch held(page);
            srb->setText("khan");
            page->SRBButtonClick();
            QVERIFY(held.reached.tryAcquire(1, 10000));
            QVERIFY(page->isSearching());
            QCOMPARE(rcf(), QStringLiteral("Searching..."));
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(listed(), QStringList({"Beta"}));
            if (escape)
                QTest::keyClick(srb, Qt::Key_Escape);
            else
                page->SRBButtonClick();
            held.release.release();
            QTRY_VERIFY(!page->isSearching());
            QCOMPARE(listed(), QStringList({"Beta"}));
            QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
            QCOMPARE(page->contactModel()->searchWords(), QStringList({"BETA"}));
            QVERIFY(!QApplication::overrideCursor());
            page->searchRunner()->setBetweenSteps({});
        }
        // The next search runs normally.
        search("khan");
        QCOMPARE(listed(), QStringList({"Alpha Khan", "Khan Brothers"}));
        QCOMPARE(rcf(), QStringLiteral("2 Records Found"));
    }

    // A contact added by another attachment between the count and the listing is in neither:
    // count, rows and order come from one snapshot.
    void searchShowsOneSnapshot() {
        f->addContact(1, "Khan Brothers");
        f->addContact(1, "Plain");
        showPage();
        page->searchRunner()->setBetweenSteps([this] {
            Connection other;
            other.setDatabaseName(f->db().MDB.databaseName());
            other.open();
            Transaction t(other);
            Query insert(t);
            insert.setSql("INSERT INTO CONT (CTCD, CD, CNAM) VALUES (1, GEN_ID(GEN_CONT, 1), "
                          "'Aaa Khan')");
            insert.execute();
            t.commit();
        });
        search("khan");
        QCOMPARE(listed(), QStringList({"Khan Brothers"}));
        QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
        page->searchRunner()->setBetweenSteps({});
        search("khan");
        QCOMPARE(listed(), QStringList({"Aaa Khan", "Khan Brothers"}));
    }

    // Many hits: the count and the first rows show while the rest of the keys are still read;
    // the whole list then comes in order, and a new search drops the keys still on their way.
    void manyHitsShowTheirFirstRowsAtOnce() {
        {
            Query insert(f->db().DTR);
            insert.setSql("INSERT INTO CONT (CTCD, CD, CNAM) VALUES (1, GEN_ID(GEN_CONT, 1), :T)");
            for (int i = 0; i < 700; ++i) {
                insert.setParam("T", QStringLiteral("KHAN %1").arg(i, 4, 10, QChar(u'0')));
                insert.execute();
            }
            f->db().DTR.CommitRetaining();
        }
        f->addContact(1, "Beta");
        showPage();
        QSemaphore reached, release;
        page->searchRunner()->setAfterFirstBatch([&] {
            reached.release();
            release.acquire();
        });
        page->findChild<QLineEdit*>("SRB")->setText("khan");
        page->SRBButtonClick();
        QVERIFY(reached.tryAcquire(1, 10000));
        QTRY_VERIFY(!page->isSearching());
        QCOMPARE(rcf(), QStringLiteral("700 Records Found"));
        QCOMPARE(page->contactModel()->rowCount(), ContactSearchRunner::FirstBatch);
        QCOMPARE(page->contactModel()->row(0).CNAM, QStringLiteral("KHAN 0000"));
        QVERIFY(!QApplication::overrideCursor());
        release.release();
        QTRY_COMPARE(page->contactModel()->rowCount(), 700);
        const QStringList rows = listed();
        for (int i = 0; i < 700; ++i)
            QCOMPARE(rows[i], QStringLiteral("KHAN %1").arg(i, 4, 10, QChar(u'0')));

        // Held again after its first rows, then replaced by another search.
        page->findChild<QLineEdit*>("SRB")->setText("khan");
        page->SRBButtonClick();
        QVERIFY(reached.tryAcquire(1, 10000));
        QTRY_VERIFY(!page->isSearching());
        release.release(2); // this search's rest, and the next search's first batch
        search("beta");
        QTRY_VERIFY(!page->searchRunner()->isRunning());
        page->searchRunner()->setAfterFirstBatch({});
        QTest::qWait(100);
        QCOMPARE(listed(), QStringList({"Beta"}));
        QCOMPARE(rcf(), QStringLiteral("1 Records Found"));
    }

    void wordlessSearchesGiveEmptySearch() {
        f->addContact(1, "Someone");
        showPage();
        search("khan");
        QCOMPARE(listed().size(), 0);
        for (const QString& text : {QStringLiteral("   "), QStringLiteral("%")}) {
            search(text);
            QCOMPARE(balloon(), QStringLiteral("Empty Search"));
            QCOMPARE(page->searchSuggestions().first(), text);
            QVERIFY(page->contactModel()->searchWords().isEmpty());
        }
        QCOMPARE(rcf(), QStringLiteral("0 Records Found")); // left as it was
    }

    void historyOffersTwentyNewest() {
        showPage();
        for (int i = 1; i <= 25; ++i)
            search(QStringLiteral("word%1").arg(i));
        QCOMPARE(page->searchSuggestions().size(), 20);
        QCOMPARE(page->searchSuggestions().first(), QStringLiteral("word25"));
        // Gaining the focus reads the stored list again.
        auto* srb = page->findChild<QLineEdit*>("SRB");
        page->findChild<QComboBox*>("FLDS")->setFocus();
        settings->WriteList(TPDIR_FRM::HistoryKey, {"stored"});
        srb->setFocus();
        QApplication::processEvents();
        if (QApplication::focusWidget() == srb)
            QCOMPARE(page->searchSuggestions(), QStringList({"stored"}));
    }

    void boldMovesWithTheFieldChoice() {
        f->addContact(1, "Khan Traders", {{"PNAM", "Ali Khan"}, {"ADR", "Mall Road"}});
        showPage();
        search("khan");
        QCOMPARE(listed().size(), 1);
        QVERIFY(bold(0, 1));
        QVERIFY(bold(0, 6));
        QVERIFY(!bold(0, 2));
        QVERIFY(!bold(0, 0));
        page->findChild<QComboBox*>("FLDS")->setCurrentIndex(6); // Person, no new search
        QCOMPARE(listed().size(), 1);
        QVERIFY(!bold(0, 1));
        QVERIFY(bold(0, 6));
    }

    void newContactGoesToTheSelectedContactsFolder() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        f->addContact(b, "Target Person");
        showPage();
        selectFolder(a);
        search("target");
        QCOMPARE(listed(), QStringList({"Target Person"}));
        page->PC_MNUPopup();
        QVERIFY(page->contactMenu()->findChild<QAction*>("PC_CR")->isEnabled());
        TPC_EDT_FRM* editor = page->contactEditor();
        whenShown(editor, [editor] {
            QCOMPARE(editor->findChild<QLineEdit*>("PRT")->text(), QStringLiteral("B"));
            editor->textField("CNAM")->setText("target two");
            editor->SAVClick();
            editor->EXTClick();
        });
        page->PC_MNUClick(1);
        QCOMPARE(f->text("CTCD", "CONT", "CNAM='TARGET TWO'"), QString::number(b));
        QCOMPARE(listed(), QStringList({"TARGET TWO", "Target Person"})); // the search ran again
    }

    void updateWritesBackIntoTheRow() {
        const int a = f->addFolder(0, "A");
        const int cd = f->addContact(a, "OLD", {{"HOT", "1"}, {"PHN", "1"}});
        showPage();
        selectFolder(a);
        TPC_EDT_FRM* editor = page->contactEditor();
        whenShown(editor, [editor] {
            editor->textField("CNAM")->setText("NEW");
            editor->textField("WEB")->setText("www.new.pk");
            editor->SAVClick();
        });
        page->detailTimer().stop();
        page->PC_MNUClick(2);
        const std::optional<ContactRow> row = page->firstSelectedContact();
        QVERIFY(row);
        QCOMPARE(row->CD, cd);
        QCOMPARE(row->CNAM, QStringLiteral("NEW"));
        QCOMPARE(row->WEB, QStringLiteral("www.new.pk"));
        QCOMPARE(row->CTCD, a);
        QCOMPARE(row->HOT, 1);
        QVERIFY(page->detailTimer().isActive());
        QTRY_VERIFY(page->actionButton(2)->isEnabled()); // home page after the refresh
    }

    void deleteContactsAfterYes() {
        for (const char* t : {"A", "B", "C"})
            f->addContact(1, t);
        showPage();
        selectRows({0, 2});
        Prompt::setNextAnswer(QMessageBox::Yes);
        page->PC_MNUClick(3);
        QCOMPARE(Prompt::lastText(),
                 QStringLiteral("Delete all selected \"Contacts\" permanently."));
        QCOMPARE(listed(), QStringList({"B"}));
        QCOMPARE(f->count("CONT"), 1);
        selectRows({0});
        Prompt::setNextAnswer(QMessageBox::Yes);
        page->PC_MNUClick(3);
        QCOMPARE(page->contactModel()->rowCount(), 0);
        QVERIFY(!page->firstSelectedContact());
        page->PC_MNUPopup();
        QVERIFY(!page->contactMenu()->findChild<QAction*>("PC_UP")->isEnabled());
    }

    void databaseErrorKeepsWhatWasCommitted() {
        const int a = f->addContact(1, "A");
        const int b = f->addContact(1, "B");
        showPage();
        Databases other;
        other.open(f->root() + "/DATA/DATA.FDB", f->root() + "/DATA/SYS.FDB");
        other.MM.ExecStatement(QStringLiteral("UPDATE CONT SET PHN='x' WHERE CD=%1").arg(b));
        selectRows({0, 1});
        Prompt::setNextAnswer(QMessageBox::Yes);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, page->PC_MNUClick(3));
        QCOMPARE(listed(), QStringList({"B"})); // the row deleted before the failure left
        other.DTR.rollback();
        QCOMPARE(f->count("CONT", QStringLiteral("CD=%1").arg(b)), 1);
        Q_UNUSED(a);
    }

    void actionsAndEnabling() {
        f->addContact(1, "A", {{"EML", "a@x.pk"}, {"PHN", "042-1, 042-2"}, {"WEB", "www.a.pk"}});
        f->addContact(1, "B");
        f->addContact(1, "C", {{"EML", "c@x.pk"}, {"WEB", "https://c.pk"}});
        showPage();
        page->TIM_BTVTimer();
        QVERIFY(page->actionButton(1)->isEnabled());  // DL
        QVERIFY(!page->actionButton(3)->isEnabled()); // MBL
        QVERIFY(page->actionButton(0)->isEnabled());  // EM
        QVERIFY(page->actionButton(2)->isEnabled());  // HMP
        QVERIFY(page->actionButton(4)->isEnabled());  // RTF
        QCOMPARE(page->actionButton(3)->pictureIndex(), 11);
        page->HMPClick();
        QCOMPARE(opened.last().toString(), QStringLiteral("http://www.a.pk"));
        selectRows({0, 1, 2});
        page->EMClick();
        QCOMPARE(opened.last().toString(), QStringLiteral("mailto:a@x.pk,,c@x.pk"));
        selectRows({1});
        page->TIM_BTVTimer();
        QVERIFY(!page->actionButton(0)->isEnabled());
        QVERIFY(!page->actionButton(1)->isEnabled());
        selectRows({1, 2});
        page->TIM_BTVTimer();
        QVERIFY(page->actionButton(0)->isEnabled()); // two rows: e-mail even without an address
        const int before = int(opened.size());
        selectRows({1});
        page->EMClick(); // no address at all: nothing opened
        QCOMPARE(int(opened.size()), before);
        selectRows({2});
        page->HMPClick();
        QCOMPARE(opened.last().toString(), QStringLiteral("https://c.pk"));
        // A new listing disables the buttons until the next refresh.
        selectFolder(1);
        page->ListContacts(1);
        search("zzz");
        QVERIFY(!page->actionButton(4)->isEnabled());
    }

    void detailPaneShowsTheFirstSelectedRowInListOrder() {
        f->addContact(1, "Alpha Traders",
                      {{"PDSG", "Manager"}, {"PNAM", "Ali"}, {"PHN", "042-111"}});
        f->addContact(1, "Bravo Motors", {{"BTP", "Workshop"}});
        f->addContact(1, "Charlie & Sons {Pvt}");
        showPage();
        selectRows({2, 0}); // the focus rests on the later row
        page->contactList()->selectionModel()->setCurrentIndex(page->contactModel()->index(2, 0),
                                                               QItemSelectionModel::NoUpdate);
        page->TIM_BTVTimer();
        QVERIFY(!page->detailTimer().isActive());
        const QString text = detailText();
        QVERIFY2(text.startsWith("Alpha Traders"), qPrintable(text));
        QVERIFY(text.contains("Phone   : 042-111"));
        QVERIFY(text.contains("Manager Ali"));
        QVERIFY(!reportsFile("PD_DV.RTF").isEmpty()); // the output stays on disk
        // After the run the row stays with blank values.
        QCOMPARE(page->reportTable().rowCount(), 1);
        QCOMPARE(reportTitle(), QVariant(QString()));
        // User text with RTF's own characters reaches the pane as typed.
        selectRows({1, 2});
        page->TIM_BTVTimer();
        selectRows({2});
        page->TIM_BTVTimer();
        QVERIFY2(detailText().startsWith("Charlie & Sons {Pvt}"), qPrintable(detailText()));
    }

    void quickFocusMovesRenderOnce() {
        for (const char* title : {"A", "B", "C", "D"})
            f->addContact(1, title);
        showPage();
        QTRY_VERIFY(detailText().startsWith("A"));
        QSignalSpy renders(&page->detailTimer(), &QTimer::timeout);
        for (int r = 1; r < 4; ++r)
            page->contactList()->focusRow(r);
        QVERIFY(page->detailTimer().isActive());
        QVERIFY(detailText().startsWith("A")); // nothing rendered while moving
        QTRY_VERIFY(detailText().startsWith("D"));
        QTest::qWait(300);
        QCOMPARE(renders.size(), 1); // one render, for the row where the focus rests
    }

    void noSelectionShowsTheEmptyTemplate() {
        f->addContact(1, "Alpha", {{"PHN", "1"}});
        showPage();
        page->TIM_BTVTimer();
        QVERIFY(page->actionButton(1)->isEnabled());
        page->contactList()->clearSelection();
        page->TIM_BTVTimer();
        QVERIFY(!detailText().contains("Alpha"));
        QVERIFY(!detailText().contains("Phone"));
        QVERIFY(page->actionButton(1)->isEnabled()); // the buttons keep their state
    }

    void reportNumbersSelectedRowsInListOrder() {
        f->addContact(1, "Alpha", {{"PHN", "042-1"}});
        f->addContact(1, "Bravo");
        f->addContact(1, "Charlie");
        f->addContact(1, "Delta");
        showPage();
        selectRows({3, 0, 1}); // selected third, first, second
        page->RTFClick();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.last().isLocalFile());
        QCOMPARE(QFileInfo(opened.last().toLocalFile()).canonicalFilePath(),
                 QFileInfo(f->root() + "/reports/PD_RP.RTF").canonicalFilePath());
        const QByteArray rtf = reportsFile("PD_RP.RTF");
        const qsizetype a = rtf.indexOf("1\\cell {\\b\\ab Alpha}");
        const qsizetype b = rtf.indexOf("2\\cell {\\b\\ab Bravo}");
        const qsizetype d = rtf.indexOf("3\\cell {\\b\\ab Delta}");
        QVERIFY2(a > 0 && a < b && b < d, rtf.constData());
        QVERIFY(!rtf.contains("Charlie"));
        QCOMPARE(page->reportTable().rowCount(), 3);
        QCOMPARE(reportTitle(), QVariant(QString()));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // Nothing selected: the report's cycle produces no entry.
        page->contactList()->clearSelection();
        page->RTFClick();
        QVERIFY(!reportsFile("PD_RP.RTF").contains("Alpha"));
        QCOMPARE(page->reportTable().rowCount(), 0);
    }

    void detailFaultsKeepThePaneAndTheRow() {
        f->addContact(1, "Alpha");
        f->addContact(1, "Bravo");
        showPage();
        page->TIM_BTVTimer();
        QVERIFY(detailText().startsWith("Alpha"));
        QFile::remove(f->root() + "/templates/PD_DV.TEMPLATE.RTF");
        selectRows({1});
        QVERIFY_THROWS_EXCEPTION(ReportFileError, page->TIM_BTVTimer());
        QVERIFY(detailText().startsWith("Alpha"));
        QCOMPARE(reportTitle(), QVariant(QStringLiteral("Bravo")));
        // A template fault: the engine's message, the pane and the row as before.
        writeTemplate("PD_DV.TEMPLATE.RTF", "{\\rtf1 \\{for DS\\} \\{DS.TITLE\\}}");
        try {
            page->TIM_BTVTimer();
            QFAIL("no template fault");
        } catch (const TReporterException& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Can't find a closing \"end\" for a \"for\" cycle. "
                                    "Check template!"));
        }
        QVERIFY(detailText().startsWith("Alpha"));
        QCOMPARE(reportTitle(), QVariant(QStringLiteral("Bravo")));
    }

    void faultsOfTheTimerReachTheErrorDisplay() {
        f->addContact(1, "Alpha");
        f->addContact(1, "Bravo");
        showPage();
        QTRY_VERIFY(detailText().startsWith("Alpha"));
        QStringList errors;
        TkApplication::setErrorObserver([&](const QString& text) { errors << text; });
        QFile::remove(f->root() + "/templates/PD_DV.TEMPLATE.RTF");
        page->contactList()->focusRow(1);
        QTRY_COMPARE(errors.size(), 1);
        TkApplication::setErrorObserver({});
        QVERIFY2(errors[0].startsWith("Cannot open file \"../templates/PD_DV.TEMPLATE.RTF\"."),
                 qPrintable(errors[0]));
        QVERIFY(detailText().startsWith("Alpha"));
        QCOMPARE(reportTitle(), QVariant(QStringLiteral("Bravo")));
    }

    void reportFaultsOpenNothing() {
        f->addContact(1, "Alpha");
        showPage();
        selectRows({0});
        // The reports folder is missing (a file stands in its place).
        const QString reports = f->root() + "/reports";
        QVERIFY(QDir(reports).removeRecursively());
        QFile stand(reports);
        QVERIFY(stand.open(QIODevice::WriteOnly));
        stand.close();
        QVERIFY_THROWS_EXCEPTION(ReportFileError, page->RTFClick());
        QVERIFY(opened.isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(reportTitle(), QVariant(QStringLiteral("Alpha")));
        QVERIFY(QFile::remove(reports));
        QVERIFY(QDir().mkpath(reports));
        page->RTFClick();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(reportTitle(), QVariant(QString()));
    }

    void reloadKeepsThePlace() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        const int a2 = f->addFolder(a, "A2");
        showPage();
        selectFolder(a1);
        page->ReloadFolders();
        QCOMPARE(page->selectedFolder().CD, a1);
        // The selected folder vanished: its next sibling takes the place.
        f->db().MM.ExecStatement(QStringLiteral("DELETE FROM CATE WHERE CD=%1").arg(a1));
        page->ReloadFolders();
        QCOMPARE(page->selectedFolder().CD, a2);
        // No next sibling: the preceding node.
        f->db().MM.ExecStatement(QStringLiteral("DELETE FROM CATE WHERE CD=%1").arg(a2));
        page->ReloadFolders();
        QCOMPARE(page->selectedFolder().CD, a);
        QMenu menu;
        QList<int> chosen;
        page->FillFolderMenu(&menu, [&](QAction* item) { chosen << item->data().toInt(); });
        QCOMPARE(menu.actions().size(), 1);
        QCOMPARE(menu.actions().first()->text(), QStringLiteral("A"));
        menu.actions().first()->trigger();
        QCOMPARE(chosen, QList<int>({a}));
    }

    void detailSplitterSettings() {
        settings->WriteFlag(TPDIR_FRM::DetailMaximisedKey, true);
        showPage();
        QVERIFY(page->findChild<QWidget*>("DTP")->isHidden());
        page->finish();
        QCOMPARE(settings->ReadFlag(TPDIR_FRM::DetailMaximisedKey, false), true);
        QCOMPARE(settings->ReadNumber(TPDIR_FRM::DetailHeightKey, -1),
                 -1); // collapsed: not written
    }
};

// The program's application object, so faults leaving event handlers reach its error display.
int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    PersonalPageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_personalpage.moc"
