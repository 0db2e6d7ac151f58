#include "directory/ContactActions.h"

#include "app/Helpers.h"

ContactActions::ButtonStates ContactActions::enabling(const ContactRow& first, int selectedCount) {
    ButtonStates states;
    states.DL = !first.PHN.isEmpty();
    states.MBL = !first.MOB.isEmpty();
    states.EM = !first.EML.isEmpty() || selectedCount > 1;
    states.HMP = !first.WEB.isEmpty();
    states.RTF = true;
    return states;
}

QString ContactActions::mailAddress(const QString& field) {
    // What follows '?' would be read as headers of the message (attach=, body=, cc=).
    return field.section(u'?', 0, 0);
}

QString ContactActions::mailAddressList(const QList<ContactRow>& rows) {
    QString list;
    for (const ContactRow& row : rows) {
        const QString address = mailAddress(row.EML);
        list += IfHasText(list, u',' + address, address);
    }
    return list;
}

QUrl ContactActions::mailUrl(const QList<ContactRow>& rows) {
    return mailUrl(mailAddressList(rows));
}

QUrl ContactActions::mailUrl(const QString& addresses) {
    const QString list = mailAddress(addresses);
    if (list.isEmpty())
        return {};
    return QUrl(QStringLiteral("mailto:") + list, QUrl::TolerantMode);
}

QUrl ContactActions::homePageUrl(const QString& web) {
    const bool hasScheme = web.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                           web.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    return QUrl(hasScheme ? web : QStringLiteral("http://") + web, QUrl::TolerantMode);
}
