#include "directory/PageFrame.h"

#include "directory/DetailPane.h"
#include "directory/DirectoryListView.h"
#include "directory/PanelLook.h"
#include "online/AdvertPane.h"
#include "personal/CollapseBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

void PageFrame::arrange(QWidget* page, QWidget* search, QWidget* centre, QWidget* strip) {
    auto* searchBar = new CollapseBar(search, true, page);
    searchBar->setObjectName(QStringLiteral("SPL_S"));
    auto* stripBar = new CollapseBar(strip, false, page);
    stripBar->setObjectName(QStringLiteral("SPL_B"));
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(search);
    layout->addWidget(searchBar);
    layout->addWidget(centre, 1);
    layout->addWidget(stripBar);
    layout->addWidget(strip);
}

PageFrame::SearchPanel PageFrame::searchPanel(QWidget* page, const QString& title) {
    auto* panel = new QWidget(page);
    panel->setObjectName(QStringLiteral("SPANEL"));
    panel->setFixedWidth(PanelLook::SearchPanelWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 6, 4, 6);
    layout->setSpacing(4);
    QLabel* tit = PanelLook::label(title, panel, true);
    tit->setObjectName(QStringLiteral("TIT"));
    layout->addWidget(tit);
    return {panel, layout};
}

QLabel* PageFrame::addStatusLabel(const SearchPanel& search) {
    QLabel* rcf = PanelLook::label(QString(), search.panel);
    rcf->setObjectName(QStringLiteral("RCF"));
    rcf->setWordWrap(true);
    rcf->setTextFormat(Qt::PlainText);
    search.layout->addWidget(rcf);
    return rcf;
}

AdvertPane* PageFrame::addSideAdvert(const SearchPanel& search) {
    auto* side = new QWidget(search.panel);
    side->setObjectName(QStringLiteral("SD_P"));
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* advert = new AdvertPane(side);
    layout->addWidget(advert);
    search.layout->addWidget(side, 1);
    return advert;
}

DirectoryListView* PageFrame::resultList(DetailPane* pane, QAbstractItemModel* model) {
    auto* list = new DirectoryListView(pane);
    list->setListModel(model);
    pane->setList(list);
    QObject::connect(list, &DirectoryListView::focusChanged, pane, &DetailPane::restartTimer);
    return list;
}
