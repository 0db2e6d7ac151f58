#include "personal/CollapseBar.h"

#include <QToolButton>
#include <QVBoxLayout>

CollapseBar::CollapseBar(QWidget* target, bool targetOnLeft, QWidget* parent)
    : QWidget(parent), m_target(target), m_targetOnLeft(targetOnLeft),
      m_button(new QToolButton(this)) {
    setFixedWidth(9);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    m_button->setFixedSize(9, 48);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_button);
    layout->addStretch();
    connect(m_button, &QToolButton::clicked, this, [this] { setCollapsed(!isCollapsed()); });
    updateArrow();
}

bool CollapseBar::isCollapsed() const {
    return m_target->isHidden();
}

void CollapseBar::setCollapsed(bool collapsed) {
    if (collapsed == isCollapsed())
        return;
    m_target->setVisible(!collapsed);
    updateArrow();
    emit toggled(collapsed);
}

void CollapseBar::updateArrow() {
    const bool pointLeft = m_targetOnLeft != isCollapsed();
    m_button->setArrowType(pointLeft ? Qt::LeftArrow : Qt::RightArrow);
    m_button->setToolTip(isCollapsed() ? QStringLiteral("Restore") : QStringLiteral("Collapse"));
}
