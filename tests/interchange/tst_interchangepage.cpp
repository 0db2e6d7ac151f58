// Import and export on the personal page as a user does them: a contact file from the file
// manager dropped onto a folder (drag events at the folder's row), the folder and list menus'
// entries opened with a right click, and contacts dragged out as a vCard file.
#include "PageTestBase.h"
#include "interchange/FileChooser.h"
#include "interchange/InterchangeActions.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/Prompt.h"
#include "personal/TPDIR_FRM.h"

#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

class InterchangePageTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* page = nullptr;

    void showPage() {
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        page->setGeometry(0, 0, 1200, 760);
        page->setTag(2);
        QVERIFY(showInArea(page));
    }
    FolderTreeView* tree() const { return page->folderTree(); }
    QPoint folderPoint(int cd) const {
        return tree()->visualRect(page->folderModel()->findFolder(cd)).center();
    }
    int contactsIn(int folder) {
        return f->count(QStringLiteral("CONT"), QStringLiteral("CTCD=%1").arg(folder));
    }
    static QString data(const char* name) {
        return QStringLiteral(TK_INTERCHANGE_DATA "/") + QLatin1String(name);
    }
    // A drag from another program (no source widget) enters over `from`, moves to `to` and is
    // let go there; answers whether the last move was taken.
    bool dropFiles(const QStringList& files, QPoint from, QPoint to) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << QUrl::fromLocalFile(file);
        mime.setUrls(urls);
        QWidget* target = tree()->viewport();
        QDragEnterEvent enter(from, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(to, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &move);
        const bool taken = move.isAccepted();
        QDropEvent drop(to, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        return taken && drop.isAccepted();
    }
    QAction* menuItem(QMenu* menu, const char* name) {
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String(name))
                return a;
        return nullptr;
    }

private slots:
    void init() { QVERIFY(setUpPage()); }
    void cleanup() {
        page = nullptr;
        tearDownPage();
    }

    void fileDroppedOntoAFolderIsImported() {
        const int phone = f->addFolder(0, QStringLiteral("Phone"));
        showPage();
        // Over "All Contacts" the drag is not taken; over "Phone" it is, and the cards land.
        QVERIFY(!dropFiles({data("android21.vcf")}, folderPoint(1), folderPoint(1)));
        QCOMPARE(contactsIn(1), 0);
        Prompt::setNextAnswer(QMessageBox::Ok);
        QVERIFY(dropFiles({data("android21.vcf"), data("google.csv")}, folderPoint(1),
                          folderPoint(phone)));
        QTRY_COMPARE(contactsIn(phone), 5);
        QCOMPARE(Prompt::lastText(), QStringLiteral("android21.vcf: 3 contacts imported.\n"
                                                    "google.csv: 2 contacts imported."));
        // A second drop of the same file only counts duplicates.
        Prompt::setNextAnswer(QMessageBox::Ok);
        QVERIFY(dropFiles({data("android21.vcf")}, folderPoint(phone), folderPoint(phone)));
        QTRY_COMPARE(Prompt::lastText(),
                     QStringLiteral("android21.vcf: 0 contacts imported, 3 skipped as "
                                    "duplicates."));
        QCOMPARE(contactsIn(phone), 5);
        // Other files are not taken at all.
        QVERIFY(
            !dropFiles({data("../tst_interchange.cpp")}, folderPoint(phone), folderPoint(phone)));
    }

    void folderMenuImportsAndExports() {
        const int clients = f->addFolder(0, QStringLiteral("Clients"));
        const int north = f->addFolder(clients, QStringLiteral("North"));
        f->addContact(north, QStringLiteral("شمالی ٹریڈرز"), {{"PHN", "042-1"}});
        showPage();
        tree()->selectFolder(page->folderModel()->findFolder(clients));
        rightClickAt(tree(), folderPoint(clients));
        QMenu* menu = page->folderMenu();
        QTRY_VERIFY(menu->isVisible());
        QAction* import = menuItem(menu, "C_IMP");
        QVERIFY(import && import->isEnabled());
        QCOMPARE(import->text(), QStringLiteral("Import Contacts..."));
        QCOMPARE(menuItem(menu, "C_EXP")->text(), QStringLiteral("Export Contacts..."));
        menu->hide();
        FileChooser::setNextFiles({data("iphone30.vcf")});
        Prompt::setNextAnswer(QMessageBox::Ok);
        import->trigger();
        QCOMPARE(contactsIn(clients), 1);
        QCOMPARE(Prompt::lastText(), QStringLiteral("iphone30.vcf: 1 contact imported."));

        // Export of the folder with the one below it, as CSV for a spreadsheet.
        const QString csv = f->root() + QStringLiteral("/out.csv");
        FileChooser::setNextSaveFile(csv, FileChooser::exportFilters().value(2));
        Prompt::setNextAnswer(QMessageBox::Ok);
        menuItem(menu, "C_EXP")->trigger();
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF")); // the byte order mark spreadsheets look for
        const QString text = QString::fromUtf8(bytes.mid(3));
        QVERIFY(text.startsWith(QStringLiteral("Folder,TITLE,City,Phone,")));
        QVERIFY(text.contains(QStringLiteral("Clients\\North,شمالی ٹریڈرز,,042-1")));
        QVERIFY(text.contains(QStringLiteral("Clients,QURESHI & SONS PHARMACEUTICALS,Lahore")));
        QCOMPARE(Prompt::lastText(), QStringLiteral("2 contacts exported to %1.").arg(csv));

        // "All Contacts" exports but takes no import.
        tree()->selectFolder(page->folderModel()->findFolder(1));
        rightClickAt(tree(), folderPoint(1));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!menuItem(menu, "C_IMP")->isEnabled());
        QVERIFY(menuItem(menu, "C_EXP")->isEnabled());
        menu->hide();
    }

    void selectedContactsExportAndDragOut() {
        const int a = f->addFolder(0, QStringLiteral("A"));
        f->addContact(a, QStringLiteral("ONE"), {{"MOB", "0300-1"}});
        f->addContact(a, QStringLiteral("TWO"));
        showPage();
        tree()->selectFolder(page->folderModel()->findFolder(a));
        QTRY_COMPARE(page->contactModel()->rowCount(), 2);
        page->contactList()->selectRow(0);
        rightClickRow(page->contactList(), 0);
        QMenu* menu = page->contactMenu();
        QTRY_VERIFY(menu->isVisible());
        QAction* exportSelected = menuItem(menu, "PC_EXP");
        QVERIFY(exportSelected && exportSelected->isEnabled());
        menu->hide();
        const QString vcf = f->root() + QStringLiteral("/one.vcf");
        FileChooser::setNextSaveFile(vcf, FileChooser::exportFilters().value(1));
        Prompt::setNextAnswer(QMessageBox::Ok);
        exportSelected->trigger();
        QFile file(vcf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray card = file.readAll();
        QVERIFY(card.contains("VERSION:3.0\r\n"));
        QVERIFY(card.contains("ORG:ONE\r\n"));
        QVERIFY(card.contains("TEL;TYPE=CELL:0300-1\r\n"));
        QVERIFY(!card.contains("TWO"));

        // What a drag of the selection hands to a file manager or a mail program.
        QMimeData mime;
        page->findChild<InterchangeActions*>()->fillDrag(mime);
        QVERIFY(mime.data(QStringLiteral("text/vcard")).contains("ORG:ONE"));
        QCOMPARE(mime.urls().size(), 1);
        QFile dragged(mime.urls().first().toLocalFile());
        QVERIFY(dragged.open(QIODevice::ReadOnly));
        QCOMPARE(dragged.readAll(), mime.data(QStringLiteral("text/vcard")));
        QVERIFY(dragged.fileName().endsWith(QStringLiteral("/ONE.vcf")));
    }
};

QTEST_MAIN(InterchangePageTest)
#include "tst_interchangepage.moc"
