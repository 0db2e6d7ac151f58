#include "dialer/TDialer_frm.h"

#include "app/Balloon.h"
#include "app/Helpers.h"
#include "app/PictureButton.h"
#include "app/SettingsStore.h"
#include "app/SilentAbort.h"
#include "app/TkApplication.h"
#include "data/Databases.h"
#include "data/Query.h"
#include "dialer/DeviceSelection.h"
#include "dialer/Telephony.h"
#include "dialer/UpDown.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace {
QFont arialBold(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// Digits of any script become the ASCII digits a line device dials.
QString asciiDigits(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        if (c.isDigit() && c.unicode() > 127)
            c = QChar(u'0' + c.digitValue());
    }
    return result;
}
} // namespace

TDialer_frm::TDialer_frm(Databases& databases, SettingsStore& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_db(databases), m_settings(settings),
      m_pictures(QSize(45, 42), QStringLiteral(":/assets/dialer/dialer_btn_%1.svg"), 6) {
    QStringList ports;
    m_settings.ReadList(PortsKey, ports);
    m_tapi = new Telephony(ports, this);
    m_tapi->setChooser(
        [this](const QStringList& names) { return DeviceSelection::choose(names, this); });
    FormCreate();
}

TDialer_frm::~TDialer_frm() {
    m_tapi->cancelCall();
}

void TDialer_frm::FormCreate() {
    setObjectName(QStringLiteral("TDialer_frm"));
    setWindowTitle(QStringLiteral("Tessaro Kavelin"));
    setModal(true);
    setFixedSize(ClientWidth, ClientHeight);
    // The picture fills the window; no brush of its own underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    move(screen.x() + int(std::lround((screen.width() - ClientWidth) / 2.0)), screen.y() + Top);

    TIT = new QLabel(this);
    TIT->setObjectName(QStringLiteral("TIT"));
    TIT->setGeometry(52, 14, 315, 26);
    TIT->setFont(arialBold(20));
    TIT->setTextFormat(Qt::PlainText);
    TIT->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    NUM = new QLineEdit(this);
    NUM->setObjectName(QStringLiteral("NUM"));
    NUM->setGeometry(32, 84, 212, 33);
    NUM->setFont(arialBold(23));
    NUM->setFrame(false);
    NUM->setStyleSheet(QStringLiteral("QLineEdit { background: #F0F4FC; color: #1A2850; "
                                      "selection-background-color: #F28000; }"));

    INB = new UpDown(this);
    INB->setObjectName(QStringLiteral("INB"));
    INB->setGeometry(250, 86, 18, 29);
    connect(INB, &UpDown::clicked, this, &TDialer_frm::INBClick);

    STA = new QLabel(this);
    STA->setObjectName(QStringLiteral("STA"));
    STA->setGeometry(34, 146, 236, 24);
    STA->setFont(arialBold(16));
    STA->setTextFormat(Qt::PlainText);
    STA->setStyleSheet(QStringLiteral("color: #FFDBB3; background: transparent;"));

    ACC = createCheckBox("ACC", QStringLiteral("Use Area Code"), 196);
    ADC = createCheckBox("ADC", QStringLiteral("Auto Dial"), 217);
    connect(ACC, &QCheckBox::clicked, this, &TDialer_frm::ACCClick);

    ALGraphicButton1 = createButton("ALGraphicButton1", 1, QStringLiteral("Dial"), 304, 200);
    ALGraphicButton2 = createButton("ALGraphicButton2", 2, QStringLiteral("Hang Up"), 360, 200);
    SMS = createButton("SMS", 0, QStringLiteral("Close"), 387, 5);
    connect(ALGraphicButton1, &QAbstractButton::clicked, this, &TDialer_frm::DLClick);
    connect(ALGraphicButton2, &QAbstractButton::clicked, this, &TDialer_frm::HUClick);
    connect(SMS, &QAbstractButton::clicked, this, &TDialer_frm::CLClick);

    Tim.setObjectName(QStringLiteral("Tim"));
    Tim.setInterval(10);
    Tim.setSingleShot(true);
    connect(&Tim, &QTimer::timeout, this, &TDialer_frm::TimTimer);

    connect(m_tapi, &Telephony::status, this, &TDialer_frm::TAPITapiStatus);
    connect(m_tapi, &Telephony::failed, this, [this](const QString& message) {
        TAPITapiStatus();
        TkApplication::showError(message, this);
    });
}

QCheckBox* TDialer_frm::createCheckBox(const char* name, const QString& text, int y) {
    // The indicator sits at x 32 and its caption starts at x 49, as the picture expects.
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    // A framed square, filled orange when ticked, so both states read on the dark panel.
    box->setStyleSheet(QStringLiteral(
        "QCheckBox { color: white; spacing: 4px; background: transparent; }"
        "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid #D4DDF2; "
        "border-radius: 2px; background: #1A2850; }"
        "QCheckBox::indicator:checked { background: #F28000; border-color: #FFDBB3; }"
        "QCheckBox::indicator:disabled { border-color: #7F8DB0; }"
        "QCheckBox::indicator:checked:disabled { background: #9C6A3A; }"
        "QCheckBox:disabled { color: #9DA9C8; }"));
    box->move(32, y);
    box->resize(box->sizeHint().width(), 19);
    return box;
}

PictureButton* TDialer_frm::createButton(const char* name, int tag, const QString& hint, int x,
                                         int y) {
    auto* button = new PictureButton(m_pictures, tag, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->move(x, y);
    button->setPaintHandler([this](PictureButton* b) { GBPaint(b); });
    return button;
}

void TDialer_frm::setRequest(const DialRequest& request) {
    SettingsPrefix = request.SettingsPrefix;
    CityCode = request.CityCode;
    if (request.CityCode.isEmpty())
        AreaCode = request.AreaCode;
    DialTitle = request.DialTitle;
    Numbers = request.Numbers;
    MobileCall = request.MobileCall;
}

void TDialer_frm::Ring(const DialRequest& request) {
    if (isVisible())
        return;
    setRequest(request);
    exec();
}

TDialer_frm::ShortTitleResult TDialer_frm::ShortTitle(const QString& doubledTitle,
                                                      const QString& title) {
    if (doubledTitle.size() <= 22)
        return {doubledTitle, QString()};
    return {doubledTitle.left(19) + QStringLiteral("..."), title};
}

void TDialer_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TDialer_frm::FormShow() {
    // Every '&' counts twice towards the length, as the caption doubles it to show it; the
    // label itself shows text as it stands, so the pairs become single ampersands again.
    QString doubled = DialTitle;
    doubled.replace(u'&', QStringLiteral("&&"));
    const ShortTitleResult shortTitle = ShortTitle(doubled, DialTitle);
    TIT->setText(QString(shortTitle.caption).replace(QStringLiteral("&&"), QStringLiteral("&")));
    TIT->setToolTip(shortTitle.hint);

    STA->clear();
    NUM->clear();
    ADC->setChecked(m_settings.ReadFlag(key("ADC"), false));
    ACC->setChecked(m_settings.ReadFlag(key("ACC"), false));
    ACC->setEnabled(!MobileCall);
    if (!CityCode.isEmpty())
        readAreaCode();
    INB->setMaximum(Numbers.size() - 1);
    INB->setPosition(0);
    UPCAP();
    Tim.start();
}

void TDialer_frm::readAreaCode() {
    Query sql(m_db.DTR);
    sql.setSql(AreaCodeSql);
    sql.setParam(QStringLiteral("VL"), CityCode.toInt());
    sql.open();
    // A city without a row has no area code.
    AreaCode = sql.eof() ? QString() : sql.value(0).toString();
    sql.close();
}

void TDialer_frm::UPCAP() {
    // A mobile number never gets the area code, whatever the stored check mark says.
    const bool useAreaCode = ACC->isChecked() && ACC->isEnabled();
    const QString prefix = Choose<QString>(useAreaCode, AreaCode + u'+', QString());
    const int position = INB->position();
    const QString number =
        position >= 0 && position < Numbers.size() ? Numbers.at(position) : QString();
    NUM->setText(Numbers.isEmpty() ? QString() : prefix + number);
    NUM->setCursorPosition(NUM->text().size());
}

void TDialer_frm::TimTimer() {
    Tim.stop();
    if (ADC->isChecked())
        DLClick();
}

void TDialer_frm::DLClick() {
    const QString digits = asciiDigits(NUM->text()).remove(u'+');
    if (!HasText(digits) || !IsDigitsOnly(digits)) {
        ShowBalloon(NUM, QStringLiteral("Invalid Phone Number"), BalloonKind::Error);
        throw SilentAbort();
    }
    m_tapi->dial(digits);
}

void TDialer_frm::HUClick() {
    m_tapi->cancelCall();
}

void TDialer_frm::CLClick() {
    m_tapi->cancelCall();
    reject();
}

void TDialer_frm::done(int result) {
    // However the window closes, the call goes with it and the check boxes are kept.
    Tim.stop();
    m_tapi->cancelCall();
    m_settings.WriteFlag(key("ADC"), ADC->isChecked());
    m_settings.WriteFlag(key("ACC"), ACC->isChecked());
    QDialog::done(result);
}

void TDialer_frm::TAPITapiStatus() {
    switch (m_tapi->callState()) {
    case CallState::None:
    case CallState::Idle:
        STA->clear();
        break;
    case CallState::Proceeding:
        STA->setText(QStringLiteral("Dialing..."));
        break;
    default:
        break;
    }
}

void TDialer_frm::GBPaint(PictureButton* sender) {
    if (!sender->isEnabled())
        return;
    sender->setImageIndex(2 * sender->tag() + (sender->pointerOver() ? 1 : 0));
}

void TDialer_frm::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (m_background.isNull() || m_background.devicePixelRatio() != ratio)
        m_background = ImageList::render(QStringLiteral(":/assets/dialer/dialer_bg.svg"),
                                         QSize(ClientWidth, 292), ratio);
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x2A, 0x3E, 0x72));
    painter.drawPixmap(0, 0, m_background);
}

QString TDialer_frm::key(const char* name) const {
    return SettingsPrefix + QStringLiteral("\\DLR\\") + QString::fromLatin1(name);
}
