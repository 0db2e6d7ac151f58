#include "directory/PanelLook.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QStyle>

QIcon PanelLook::listImage(int i, QStyle* style) {
    const QString file = QStringLiteral(":/assets/gimg/gimg_%1.svg").arg(i);
    if (QFile::exists(file))
        return QIcon(file);
    if (i == 0)
        return style->standardIcon(QStyle::SP_DirIcon);
    if (i == 3)
        return style->standardIcon(QStyle::SP_FileDialogContentsView);
    QPixmap card(24, 24);
    card.fill(Qt::transparent);
    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x5F, 0xA8));
    p.drawEllipse(QRectF(8, 3, 8, 8));
    p.drawRoundedRect(QRectF(4, 12.5, 16, 9), 4, 4);
    return QIcon(card);
}

QLabel* PanelLook::label(const QString& text, QWidget* parent, bool bold) {
    auto* label = new QLabel(text, parent);
    QPalette light = label->palette();
    light.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(light);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        f.setPixelSize(16);
        label->setFont(f);
    }
    return label;
}
