#include "online/AdvertPane.h"

#include "online/AdvertMarker.h"
#include "online/HtmlView.h"

AdvertPane::AdvertPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SD_P"));
    ADV_LFT = new HtmlView(this);
    ADV_LFT->setObjectName(QStringLiteral("ADV_LFT"));
    ADV_LFT->loadHtml(QStringLiteral("<html><body bgcolor=\"#536a9f\"></body></html>"));
    ADV_COV = new QWidget(this);
    ADV_COV->setObjectName(QStringLiteral("ADV_COV"));
    QPalette pal = ADV_COV->palette();
    pal.setColor(QPalette::Window, QColor(0x53, 0x6A, 0x9F));
    ADV_COV->setPalette(pal);
    ADV_COV->setAutoFillBackground(true);
    ADV_COV->raise();
    ADV_DON.setSingleShot(true);
    ADV_DON.setInterval(DoneCheckMs);
    connect(&ADV_DON, &QTimer::timeout, this, &AdvertPane::ADV_DONTimer);
    connect(ADV_LFT, &HtmlView::beforeNavigate, this, [this] { ADV_DON.stop(); });
    connect(ADV_LFT, &HtmlView::documentComplete, this, [this] { ADV_DON.start(); });
    resize(233, 347);
}

void AdvertPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ADV_LFT->setGeometry(rect());
    ADV_COV->setGeometry(rect());
}

void AdvertPane::ADV_DONTimer() {
    ADV_DON.stop();
    ADV_COV->setVisible(!HasDoneMarker(ADV_LFT->documentSource()));
}
