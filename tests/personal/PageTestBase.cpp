#include "PageTestBase.h"

#include "app/Page.h"
#include "platform/Shell.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QTest>

bool PageTestBase::setUpPage() {
    f = std::make_unique<PersonalFixture>();
    f->installTemplates();
    m_home = QDir::currentPath();
    if (!QDir::setCurrent(f->binDir()))
        return false;
    settings = std::make_unique<SettingsStore>(f->settingsPath());
    area = std::make_unique<QWidget>();
    area->resize(1280, 816);
    Shell::setObserver([](const QUrl&) {});
    return true;
}

void PageTestBase::tearDownPage() {
    Shell::setObserver(nullptr);
    QDir::setCurrent(m_home);
    area.reset();
    settings.reset();
    f.reset();
}

bool PageTestBase::showInArea(Page* page) {
    page->resize(1280, 816);
    page->setTag(2);
    area->show();
    if (!QTest::qWaitForWindowExposed(area.get()))
        return false;
    page->show();
    return true;
}

void PageTestBase::rightClickRow(QAbstractItemView* view, int row) {
    rightClickAt(view, QPoint(60, view->visualRect(view->model()->index(row, 0)).center().y()));
}

void PageTestBase::rightClickAt(QAbstractItemView* view, QPoint at) {
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &request);
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, at);
}

QString PageTestBase::clickCopyToFolder(QMenu* listMenu, int folderId) {
    auto* copyMenu = listMenu->findChild<QMenu*>(QStringLiteral("PC_CTF"));
    if (!copyMenu || !listMenu->isVisible() || !copyMenu->menuAction()->isEnabled())
        return {};
    QTest::mouseClick(listMenu, Qt::LeftButton, {},
                      listMenu->actionGeometry(copyMenu->menuAction()).center());
    if (!QTest::qWaitFor([copyMenu] { return copyMenu->isVisible(); }))
        return {};
    for (QAction* item : copyMenu->actions()) {
        if (item->data().toInt() != folderId)
            continue;
        const QString caption = item->text();
        QTest::mouseClick(copyMenu, Qt::LeftButton, {}, copyMenu->actionGeometry(item).center());
        return caption;
    }
    return {};
}
