#include "app/HeaderPanel.h"

#include "app/ImageList.h"

#include <QContextMenuEvent>
#include <QPainter>

namespace {
constexpr int TileWidth = 16;
// The tile starts one pixel inside the left edge picture so that no seam shows.
constexpr int TileStart = 29;
} // namespace

HeaderPanel::HeaderPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HeaderPanel::renderPictures(qreal ratio) {
    m_tile = ImageList::render(QStringLiteral(":/assets/header/header_tile.svg"),
                               QSize(TileWidth, Height), ratio);
    m_left = ImageList::render(QStringLiteral(":/assets/header/header_left.svg"),
                               QSize(EdgeWidth, Height), ratio);
    m_right = ImageList::render(QStringLiteral(":/assets/header/header_right.svg"),
                                QSize(EdgeWidth, Height), ratio);
}

void HeaderPanel::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (m_tile.isNull() || m_tile.devicePixelRatio() != ratio)
        renderPictures(ratio);
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x53, 0x6A, 0x9F));
    if (!m_tile.isNull())
        painter.drawTiledPixmap(QRect(TileStart, 0, width() - 2 * TileStart, Height), m_tile);
    painter.drawPixmap(0, 0, m_left);
    painter.drawPixmap(width() - EdgeWidth, 0, m_right);
}

void HeaderPanel::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}
