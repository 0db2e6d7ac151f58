#include "app/PicturePanel.h"

#include "app/ImageList.h"

#include <QPainter>

PicturePanel::PicturePanel(const QString& pictureFile, QSize pictureSize, Qt::Alignment side,
                           const QColor& colour, QWidget* parent)
    : QWidget(parent), m_file(pictureFile), m_size(pictureSize), m_side(side), m_colour(colour) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect PicturePanel::pictureRect() const {
    const int x = (m_side & Qt::AlignRight) ? width() - m_size.width() : 0;
    return QRect(QPoint(x, (height() - m_size.height()) / 2), m_size);
}

void PicturePanel::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio)
        m_picture = ImageList::render(m_file, m_size, ratio);
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
    painter.drawPixmap(pictureRect().topLeft(), m_picture);
}
