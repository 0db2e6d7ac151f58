#pragma once

#include <QMenu>

#include <functional>

class QAbstractItemView;
class TPDIR_FRM;

// The context menu PC_MNU of the online directory pages' result lists: "Select All" (PC_SA) and
// "Copy To Folder" (PC_CTF), whose entries are the personal page's folders.
class ListMenu : public QMenu {
    Q_OBJECT
public:
    explicit ListMenu(QWidget* parent);

    QAction* selectAll() const { return m_selectAll; }
    QMenu* copyTo() const { return m_copyTo; }

    // Opens the menu at the list's right clicks, after the page has prepared it.
    void openOnRightClick(QAbstractItemView* list, const std::function<void()>& prepare);

    // Before the menu opens: both entries follow whether rows are selected, and the folder list
    // is filled afresh from the personal page; choosing a folder calls copy with its entry.
    void prepare(bool selected, TPDIR_FRM* personal, const std::function<void(QAction*)>& copy);

private:
    QAction* m_selectAll;
    QMenu* m_copyTo;
};
