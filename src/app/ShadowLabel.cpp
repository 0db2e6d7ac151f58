#include "app/ShadowLabel.h"

#include <QPainter>

ShadowLabel::ShadowLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const int flags = static_cast<int>(alignment()) | Qt::TextSingleLine;
    const QRect area = contentsRect().adjusted(0, 0, -1, -1);
    painter.setPen(Qt::black);
    painter.drawText(area.translated(1, 1), flags, text());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, flags, text());
}
