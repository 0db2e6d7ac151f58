#include "app/PictureButton.h"

#include <QPainter>

PictureButton::PictureButton(const ImageList& pictures, int tag, QWidget* parent)
    : QAbstractButton(parent), m_pictures(pictures), m_tag(tag), m_imageIndex(2 * tag) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    resize(pictures.size());
}

void PictureButton::setImageIndex(int index) {
    m_imageIndex = index;
}

void PictureButton::paintEvent(QPaintEvent*) {
    if (m_onPaint)
        m_onPaint(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_cacheRatio) {
        m_cache.clear();
        for (int i = 0; i < m_pictures.count(); ++i)
            m_cache.append(m_pictures.pixmap(i, ratio));
        m_cacheRatio = ratio;
    }
    if (m_imageIndex < 0 || m_imageIndex >= m_cache.size())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_cache.at(m_imageIndex));
}

void PictureButton::enterEvent(QEnterEvent* event) {
    m_pointerOver = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event) {
    m_pointerOver = false;
    update();
    QAbstractButton::leaveEvent(event);
}
