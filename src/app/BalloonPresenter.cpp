#include "app/BalloonPresenter.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>

namespace {

QPointer<BalloonPresenter>& current() {
    static QPointer<BalloonPresenter> presenter;
    return presenter;
}

} // namespace

BalloonPresenter::BalloonPresenter(QWidget* parent)
    : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      icon_(new QLabel(this)), header_(new QLabel(this)), text_(new QLabel(this)) {
    setObjectName(QStringLiteral("MSG"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);

    QFont bold = header_->font();
    bold.setBold(true);
    header_->setFont(bold);
    header_->setText(defaultHeader());
    text_->setTextFormat(Qt::PlainText);
    header_->setTextFormat(Qt::PlainText);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(icon_, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(header_, 0, 1);
    layout->addWidget(text_, 1, 1);

    hideTimer_.setSingleShot(true);
    hideTimer_.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
    connect(&hideTimer_, &QTimer::timeout, this, &BalloonPresenter::hideMessage);
    current() = this;
}

BalloonPresenter::~BalloonPresenter() {
    if (current() == this)
        current() = nullptr;
}

BalloonPresenter* BalloonPresenter::instance(QWidget* parentIfNew) {
    if (!current()) {
        auto* presenter = new BalloonPresenter(parentIfNew);
        if (!parentIfNew && qApp)
            connect(qApp, &QCoreApplication::aboutToQuit, presenter, &QObject::deleteLater);
    }
    return current();
}

bool BalloonPresenter::hasInstance() {
    return !current().isNull();
}

void BalloonPresenter::showMessage(QWidget* control, const QIcon& icon, const QString& header,
                                   const QString& text, int visibleMs) {
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(icon.pixmap(side, side));
    header_->setText(header.isEmpty() ? defaultHeader() : header);
    text_->setText(text);
    adjustSize();
    placeAt(control);
    show();
    hideTimer_.start(visibleMs);
}

void BalloonPresenter::hideMessage() {
    hideTimer_.stop();
    hide();
}

QString BalloonPresenter::header() const {
    return header_->text();
}

QString BalloonPresenter::text() const {
    return text_->text();
}

void BalloonPresenter::placeAt(QWidget* control) {
    anchor_ = control->mapToGlobal(QPoint(control->width() / 2, control->height()));
    QPoint topLeft = anchor_;
    // Keep the balloon on the screen: move it left of the point, or above the control, if needed.
    if (const QScreen* screen = control->screen()) {
        const QRect area = screen->availableGeometry();
        if (topLeft.x() + width() > area.right())
            topLeft.setX(std::max(area.left(), area.right() - width()));
        if (topLeft.y() + height() > area.bottom())
            topLeft.setY(control->mapToGlobal(QPoint(0, 0)).y() - height());
    }
    move(topLeft);
}
