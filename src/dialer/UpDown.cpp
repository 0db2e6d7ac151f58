#include "dialer/UpDown.h"

#include <QToolButton>
#include <algorithm>

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setObjectName(QStringLiteral("UP"));
    m_down->setObjectName(QStringLiteral("DOWN"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setPosition(int position) {
    m_position = std::clamp(position, 0, std::max(0, m_maximum));
}

void UpDown::setMaximum(int maximum) {
    m_maximum = maximum;
    setPosition(m_position);
}

void UpDown::step(int delta) {
    setPosition(m_position + delta);
    emit clicked();
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
