#include "ptcl/PtclBrowser.h"

#include "app/Helpers.h"

#include <QBuffer>

PtclBrowser::PtclBrowser() {
    m_client.setUserAgent(UserAgent);
    m_client.setMaxBodyBytes(PageCeiling);
    m_client.setTotalLimit(HttpClient::TotalLimitMs);
}

int PtclBrowser::Fetch(const char* url, const char* formLines, tk::IPlugInText* body) {
    QBuffer page;
    page.open(QIODevice::WriteOnly);
    const QUrl address(QString::fromLatin1(url));
    const HttpResult result = formLines ? m_client.fetchPost(address, encodeForm(formLines), &page)
                                        : m_client.fetch(address, &page);
    if (body)
        body->Assign(page.data().constData(), std::size_t(page.data().size()));
    return statusOf(result);
}

void PtclBrowser::start(const QByteArray& url, const QByteArray* formLines, QIODevice* sink) {
    const QUrl address(QString::fromLatin1(url));
    if (formLines)
        m_client.post(address, encodeForm(*formLines), sink);
    else
        m_client.get(address, sink);
}

QByteArray PtclBrowser::encodeForm(const QByteArray& lines) {
    QByteArray form;
    for (QByteArray line : lines.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = equals < 0 ? line : line.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : line.mid(equals + 1);
        if (!form.isEmpty())
            form += '&';
        form += UrlEncode(QString::fromLatin1(name)).toLatin1() + '=' +
                UrlEncode(QString::fromLatin1(value)).toLatin1();
    }
    return form;
}
