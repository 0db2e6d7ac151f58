#include "directory/PageFrame.h"

#include "personal/CollapseBar.h"

#include <QHBoxLayout>

PageFrame::Bars PageFrame::arrange(QWidget* page, QWidget* search, QWidget* centre,
                                   QWidget* strip) {
    Bars bars{new CollapseBar(search, true, page), new CollapseBar(strip, false, page)};
    bars.search->setObjectName(QStringLiteral("SPL_S"));
    bars.strip->setObjectName(QStringLiteral("SPL_B"));
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(search);
    layout->addWidget(bars.search);
    layout->addWidget(centre, 1);
    layout->addWidget(bars.strip);
    layout->addWidget(strip);
    return bars;
}
