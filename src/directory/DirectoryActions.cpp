#include "directory/DirectoryActions.h"

#include "app/Balloon.h"
#include "app/Helpers.h"
#include "app/WaitCursor.h"
#include "directory/ContactActions.h"
#include "platform/Shell.h"

#include <QPointer>
#include <QWidget>

void DirectoryActions::sendMail(const QList<ContactRow>& rows, QWidget* button) {
    WaitCursor wait;
    const QUrl url = ContactActions::mailUrl(rows);
    if (!url.isEmpty())
        Shell::open(url, [button = QPointer<QWidget>(button)] {
            ShowBalloon(button,
                        QStringLiteral("No e-mail program is set up here to write the message."),
                        BalloonKind::Information, UnopenedBalloonMs);
        });
}

void DirectoryActions::visitHomePage(const ContactRow* first, QWidget* button) {
    if (!first)
        return;
    WaitCursor wait;
    const QUrl url = ContactActions::homePageUrl(first->WEB);
    Shell::open(url, [button = QPointer<QWidget>(button), url] {
        ShowBalloon(button,
                    QStringLiteral("No web browser is set up here to open %1").arg(url.toString()),
                    BalloonKind::Information, UnopenedBalloonMs);
    });
}

DialRequest DirectoryActions::dialRequest(const ContactRow& row, bool mobile) {
    DialRequest request;
    request.SettingsPrefix = QStringLiteral("PD");
    request.CityCode = QString::number(row.CCD);
    request.DialTitle = row.CNAM;
    request.MobileCall = mobile;
    request.Numbers = SplitText(mobile ? row.MOB : row.PHN, QStringLiteral(","), false);
    return request;
}
