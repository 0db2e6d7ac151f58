#include "settings/Heading.h"

#include <QLinearGradient>
#include <QPainter>

Heading::Heading(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(14);
    setFont(f);
}

void Heading::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, width(), 0);
    band.setColorAt(0, QColor(0x1F, 0x2E, 0x5A));
    band.setColorAt(0.7, QColor(0x33, 0x47, 0x7D));
    band.setColorAt(1, QColor(0x53, 0x6A, 0x9F, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRoundedRect(rect(), 4, 4);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}
