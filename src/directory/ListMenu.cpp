#include "directory/ListMenu.h"

#include "app/TrayMenuStyle.h"
#include "personal/TPDIR_FRM.h"

#include <QAbstractItemView>

ListMenu::ListMenu(QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("PC_MNU"));
    TrayMenuStyle::apply(this);
    m_selectAll = addAction(QStringLiteral("Select All"));
    m_selectAll->setObjectName(QStringLiteral("PC_SA"));
    m_selectAll->setEnabled(false);
    m_copyTo = addMenu(QStringLiteral("Copy To Folder"));
    m_copyTo->setObjectName(QStringLiteral("PC_CTF"));
    TrayMenuStyle::apply(m_copyTo);
    m_copyTo->menuAction()->setEnabled(false);
}

void ListMenu::prepare(bool selected, TPDIR_FRM* personal,
                       const std::function<void(QAction*)>& copy) {
    m_selectAll->setEnabled(selected);
    m_copyTo->menuAction()->setEnabled(selected);
    if (personal)
        personal->FillFolderMenu(m_copyTo, copy);
}

void ListMenu::openOnRightClick(QAbstractItemView* list, const std::function<void()>& prepare) {
    connect(list, &QWidget::customContextMenuRequested, this, [this, list, prepare](QPoint at) {
        prepare();
        popup(list->viewport()->mapToGlobal(at));
    });
}
