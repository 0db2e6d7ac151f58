#include "personal/DesignLayout.h"

#include <QWidget>
#include <cmath>

void DesignLayout::add(QWidget* widget, QRect designed, int scale) {
    m_items.insert(widget, {designed, scale});
    widget->setGeometry(designed);
}

QRect DesignLayout::scaledRect(QWidget* widget, QSize size) const {
    const Item item = m_items.value(widget);
    const double w = double(size.width()) / m_designed.width();
    const double h = double(size.height()) / m_designed.height();
    QRect r = item.rect;
    const auto round = [](double v) { return int(std::lround(v)); };
    if (item.scale & TopOnly)
        r.moveTop(round(item.rect.top() * h));
    if (item.scale & Horizontal) {
        r.setLeft(round(item.rect.left() * w));
        r.setWidth(round(item.rect.width() * w));
    }
    if (item.scale & Height)
        r.setHeight(round(item.rect.height() * h));
    return r;
}

void DesignLayout::apply(QSize size) const {
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        it.key()->setGeometry(scaledRect(it.key(), size));
}
