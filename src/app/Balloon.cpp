#include "app/Balloon.h"

#include "app/BalloonPresenter.h"
#include "app/SilentAbort.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStyle>

namespace {

void requireText(QWidget* edit, const QString& text) {
    if (!text.isEmpty())
        return;
    ShowBalloon(edit, QStringLiteral("Null Value Not Allowed"), BalloonKind::Error);
    throw SilentAbort();
}

} // namespace

void ShowBalloon(QWidget* control, const QString& text, BalloonKind kind, int visibleMs) {
    if (!control)
        return;
    QStyle::StandardPixmap icon;
    QString header;
    switch (kind) {
    case BalloonKind::Error:
        icon = QStyle::SP_MessageBoxCritical;
        header = QStringLiteral("ERROR");
        break;
    case BalloonKind::Information:
        icon = QStyle::SP_MessageBoxInformation;
        header = QStringLiteral("INFORMATION");
        break;
    default:
        return;
    }
    BalloonPresenter* presenter = BalloonPresenter::instance(control->window());
    presenter->showMessage(control, presenter->style()->standardIcon(icon), header, text,
                           visibleMs);
}

void RequireText(QLineEdit* edit) {
    Q_ASSERT(edit);
    requireText(edit, edit->text());
}

void RequireText(QComboBox* edit) {
    Q_ASSERT(edit);
    requireText(edit, edit->currentText());
}
