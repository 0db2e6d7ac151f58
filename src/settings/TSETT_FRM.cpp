#include "settings/TSETT_FRM.h"

#include <QLabel>
#include <QVBoxLayout>

TSETT_FRM::TSETT_FRM(Databases&, SettingsStore&, QWidget*, QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("TSETT_FRM"));
    setAutoFillBackground(true);
    auto* label = new QLabel(caption(), this);
    label->setObjectName(QStringLiteral("CaptionLabel"));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(22);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white;"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}
