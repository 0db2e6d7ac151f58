#include "PtclEndpoint.h"

#include <QFile>
#include <QUrlQuery>

namespace {

// The form fields, from a posted web form or else from the query.
QUrlQuery formOf(const QHttpServerRequest& request) {
    if (request.method() == QHttpServerRequest::Method::Post)
        return QUrlQuery(QString::fromLatin1(request.body()).replace(u'+', u' '));
    return request.query();
}

QString field(const QUrlQuery& form, const char* name) {
    return form.queryItemValue(QString::fromLatin1(name), QUrl::FullyDecoded).trimmed();
}

QByteArray page(const QString& body) {
    return QStringLiteral("<html><head><title>PTCL Telephone Directory</title></head><body>"
                          "<h1>PTCL Telephone Directory</h1>%1</body></html>")
        .arg(body)
        .toLatin1();
}

} // namespace

QHttpServerResponse PtclEndpoint::answer(const QHttpServerRequest& request) {
    QFile busy(dataPath(QStringLiteral("ptcl/busy.txt")));
    if (busy.open(QIODevice::ReadOnly)) {
        const QString message = QString::fromLatin1(busy.readAll()).trimmed().toHtmlEscaped();
        return QHttpServerResponse(
            QByteArrayLiteral("text/html"),
            page(QStringLiteral("<div class=\"error\">%1</div>").arg(message)));
    }
    const QUrlQuery form = formOf(request);
    const QString phone = field(form, "phone");
    const QList<PtclDirectory::Entry> found =
        phone.isEmpty()
            ? m_directory.byNameAndAddress(field(form, "name"), field(form, "address"), MaxResults)
            : m_directory.byPhone(phone, MaxResults);
    QString rows;
    for (const PtclDirectory::Entry& entry : found)
        rows += QStringLiteral("<tr class=\"r\"><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                    .arg(entry.phone, entry.name.toHtmlEscaped(), entry.address.toHtmlEscaped());
    return QHttpServerResponse(
        QByteArrayLiteral("text/html"),
        page(QStringLiteral("<p>%1 entries</p><table>\n%2</table>").arg(found.size()).arg(rows)));
}
