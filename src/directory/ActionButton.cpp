#include "directory/ActionButton.h"

#include <QEnterEvent>
#include <QFile>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

ActionButton::ActionButton(int tag, const QString& hint, QWidget* parent)
    : QAbstractButton(parent), m_tag(tag) {
    setToolTip(hint);
    setAccessibleName(hint);
    setFixedSize(Side, Side);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
}

int ActionButton::pictureIndex() const {
    if (!isEnabled())
        return 3 * m_tag + 2;
    return 3 * m_tag + (m_hot ? 1 : 0);
}

void ActionButton::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ActionButton::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ActionButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}

void ActionButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int index = pictureIndex();
    const QString file = QStringLiteral(":/assets/bil/bil_%1.svg").arg(index);
    if (QFile::exists(file)) {
        QIcon(file).paint(&painter, rect());
        return;
    }
    paintFallback(painter, index);
}

// Drawn when the image list is not available: a glass tile with the action's name.
void ActionButton::paintFallback(QPainter& painter, int index) {
    const int state = index % 3;
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    if (state == 2) {
        fill.setColorAt(0, QColor(0xB8, 0xBE, 0xC8));
        fill.setColorAt(1, QColor(0x8C, 0x94, 0xA0));
    } else {
        const QColor top = state == 1 ? QColor(0x7F, 0xB2, 0xF0) : QColor(0x4F, 0x86, 0xD0);
        fill.setColorAt(0, top);
        fill.setColorAt(1, QColor(0x1F, 0x3F, 0x7A));
    }
    QPainterPath path;
    path.addRoundedRect(r, 10, 10);
    painter.fillPath(path, fill);
    painter.setPen(QPen(QColor(255, 255, 255, 120), 1));
    painter.drawPath(path);
    static const char* const Words[] = {"Mail", "Phone", "Web", "Mobile", "Report", ""};
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(state == 2 ? QColor(0xE8, 0xE8, 0xE8) : Qt::white);
    painter.drawText(r, Qt::AlignCenter, QString::fromLatin1(Words[qBound(0, m_tag, 5)]));
}
