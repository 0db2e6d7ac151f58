// Renders the personal directory page and both editors with sample data into PNG files, for
// looking at the layout: personal_snapshot [output folder].
#include "DirectoryGenerator.h"
#include "TempDatabase.h"
#include "app/SettingsStore.h"
#include "data/Databases.h"
#include "personal/ContactListView.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/TC_EDT_FRM.h"
#include "personal/TPC_EDT_FRM.h"
#include "personal/TPDIR_FRM.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    TempDatabase tmp;
    Databases db;
    db.open(tmp.dataPath(), tmp.sysPath());
    DirectoryGenerator generator;
    const QList<int> folders = generator.addFolders(db, 40, 3);
    generator.addContacts(db, folders + QList<int>{1}, 400);
    SettingsStore settings(tmp.binDir() + QStringLiteral("/settings.xml"));

    QWidget area;
    area.setAutoFillBackground(true);
    QPalette p = area.palette();
    p.setColor(QPalette::Window, QColor(0x53, 0x6A, 0x9F));
    area.setPalette(p);
    area.resize(1280, 816);
    auto* page = new TPDIR_FRM(db, settings, &area, &area);
    page->resize(1280, 816);
    page->setTag(2);
    area.show();
    page->show();
    QApplication::processEvents();
    FolderTreeView* tree = page->folderTree();
    tree->expand(page->folderModel()->index(0, 0));
    tree->selectFolder(page->folderModel()->index(1, 0));
    page->contactList()->focusRow(0);
    page->TIM_BTVTimer();
    QApplication::processEvents();
    page->grab().save(out + QStringLiteral("/personal_page.png"));

    page->findChild<QLineEdit*>(QStringLiteral("SRB"))->setText(QStringLiteral("khan"));
    page->SRBButtonClick();
    page->TIM_BTVTimer();
    QApplication::processEvents();
    page->grab().save(out + QStringLiteral("/personal_search.png"));

    TPC_EDT_FRM* contact = page->contactEditor();
    contact->setMode(2);
    contact->FolderId = page->firstSelectedContact()->CTCD;
    contact->FolderPath = page->GetFolderPath(contact->FolderId);
    contact->ContactId = page->firstSelectedContact()->CD;
    contact->prepare();
    contact->setGeometry(0, 0, 1280, 608);
    contact->show();
    QApplication::processEvents();
    contact->grab().save(out + QStringLiteral("/contact_editor.png"));
    contact->resize(773, 321);
    QApplication::processEvents();
    contact->grab().save(out + QStringLiteral("/contact_editor_small.png"));
    contact->reject();

    TC_EDT_FRM* folder = page->folderEditor();
    folder->setMode(1);
    folder->ParentId = folders.first();
    folder->ParentPath = page->GetFolderPath(folders.first());
    folder->prepare();
    folder->setGeometry(0, 0, 1280, 608);
    folder->show();
    QApplication::processEvents();
    folder->grab().save(out + QStringLiteral("/folder_editor.png"));
    folder->reject();
    return 0;
}
