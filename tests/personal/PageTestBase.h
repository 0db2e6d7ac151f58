#pragma once

#include "PersonalFixture.h"
#include "app/SettingsStore.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>

class Page;
class QAbstractItemView;
class QMenu;

// What every directory-page test runs in: staged databases and templates, the working directory
// in the staged bin folder (reports and templates are found from there), a fresh settings file,
// a content area of the main window's size and a desktop that opens nothing.
class PageTestBase {
protected:
    // From a test's init(); false when the bin folder cannot be entered.
    bool setUpPage();
    // From a test's cleanup(): the area (and the pages in it) first, then the files.
    void tearDownPage();
    // Shows the page in the content area as the main window does; false when it never appears.
    bool showInArea(Page* page);
    // A right click in a list: the press, the context menu request the desktop sends with it,
    // and the release; at a point of the viewport, or on a row.
    static void rightClickAt(QAbstractItemView* view, QPoint at);
    static void rightClickRow(QAbstractItemView* view, int row);
    // Chooses a folder under the open list menu's "Copy To Folder" with the mouse: a click on
    // the item opens the folders, a click on the folder copies. Answers the folder entry's
    // caption, or an empty text when the menus never showed it.
    static QString clickCopyToFolder(QMenu* listMenu, int folderId);

    std::unique_ptr<PersonalFixture> f;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<QWidget> area;

private:
    QString m_home;
};
