#include "online/HtmlView.h"

#include "online/HtmlNesting.h"
#include "online/ProxySetting.h"

#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTimer>

namespace {
// A page names at most this many pictures and style sheets that are fetched.
constexpr int MaxResources = 64;
constexpr int TransferTimeoutMs = 30000;
// The largest page and picture taken, and the longest a whole transfer may take: what goes
// beyond is abandoned, the page counts as not loaded, the picture as missing.
constexpr qint64 PageCeiling = 1024 * 1024;
constexpr qint64 PictureCeiling = 2 * 1024 * 1024;
constexpr int TotalLimitMs = 20000;

// Abandons the reply once its body passes `ceiling` or the total time is up; the reply then
// finishes with OperationCanceledError.
void limit(QNetworkReply* reply, qint64 ceiling) {
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, ceiling](qint64 received, qint64 total) {
                         if (received > ceiling || total > ceiling)
                             reply->abort();
                     });
    QTimer::singleShot(TotalLimitMs, reply, [reply] { reply->abort(); });
}

// The desktop's proxy, looked up afresh for every page, as for the program's other clients.
void useDesktopProxy(QNetworkAccessManager* network) {
    const TProxySetting proxy = GetIEProxy(QStringLiteral("http"));
    network->setProxy(proxy.Host.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy)
                                           : QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Host,
                                                           quint16(qBound(0, proxy.Port, 65535))));
}

bool isWebUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QStringLiteral("http") || scheme == QStringLiteral("https");
}
} // namespace

HtmlView::HtmlView(QWidget* parent)
    : QTextBrowser(parent), m_network(new QNetworkAccessManager(this)) {
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_network->setTransferTimeout(TransferTimeoutMs);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Prevent, not merely "no" menu: the request must not travel on to the parent (the header
    // would open the tray menu).
    setContextMenuPolicy(Qt::PreventContextMenu);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    document()->setDocumentMargin(0);
    // Only web links are followed; others (file:, smb:, a .desktop file...) never reach the
    // desktop's opener.
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl target = m_url.resolved(link);
        if (isWebUrl(target))
            navigate(target);
    });
}

HtmlView::~HtmlView() {
    abortAll();
}

void HtmlView::navigate(const QUrl& url) {
    emit beforeNavigate(url);
    abortAll();
    m_url = url;
    m_completeDue = true;
    useDesktopProxy(m_network);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    QNetworkReply* reply = m_network->get(request);
    limit(reply, PageCeiling);
    m_pageReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { pageArrived(reply); });
}

void HtmlView::loadHtml(const QString& html, const QUrl& baseUrl) {
    abortAll();
    m_url = baseUrl;
    m_completeDue = true;
    showSource(html, baseUrl);
    fetchPictures();
    finishIfDone();
}

void HtmlView::pageArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_pageReply)
        return;
    m_pageReply = nullptr;
    m_url = reply->url();
    // A page cut at its ceiling or its time limit is shown as no page at all.
    if (reply->error() == QNetworkReply::OperationCanceledError ||
        reply->bytesAvailable() > PageCeiling)
        showSource(QString(), m_url);
    else
        showSource(decodePage(reply, reply->readAll()), m_url);
    fetchPictures();
    finishIfDone();
}

QString HtmlView::decodePage(QNetworkReply* reply, const QByteArray& body) const {
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const qsizetype at = type.indexOf(QStringLiteral("charset="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        const QString charset = type.mid(at + 8).section(u';', 0, 0).remove(u'"').trimmed();
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    if (body.startsWith("\xEF\xBB\xBF") || body.left(2048).toLower().contains("charset")) {
        QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromLatin1(body);
}

void HtmlView::showSource(const QString& given, const QUrl& base) {
    // A page nesting too deeply to lay out in reasonable time counts as not loaded.
    const QString html = HtmlNesting::tooDeep(given) ? QString() : given;
    m_source = html;
    m_rerenderDue = false;
    document()->setBaseUrl(base);
    setHtml(html);
    document()->setBaseUrl(base);
    // The body colour fills the whole view, also below a short document.
    QPalette pal = palette();
    const QBrush background = document()->rootFrame()->frameFormat().background();
    pal.setBrush(QPalette::Base,
                 background.style() == Qt::NoBrush ? QBrush(Qt::white) : background);
    setPalette(pal);
}

void HtmlView::fetchPictures() {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                fetchResource(m_url.resolved(QUrl(format.toImageFormat().name())));
        }
    }
}

void HtmlView::fetchResource(const QUrl& url) {
    if (!isWebUrl(url) || m_resources.contains(url) || m_failed.contains(url))
        return;
    for (const QUrl& pending : std::as_const(m_pending))
        if (pending == url)
            return;
    if (m_resources.size() + m_failed.size() + m_pending.size() >= MaxResources) {
        m_failed.insert(url);
        return;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    if (m_url.isValid())
        request.setRawHeader("Referer", m_url.toEncoded());
    QNetworkReply* reply = m_network->get(request);
    limit(reply, PictureCeiling);
    m_pending.insert(reply, url);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        const QUrl key = m_pending.value(reply);
        resourceArrived(reply, key);
    });
}

void HtmlView::resourceArrived(QNetworkReply* reply, const QUrl& key) {
    reply->deleteLater();
    if (!m_pending.remove(reply))
        return;
    if (reply->error() == QNetworkReply::NoError && reply->bytesAvailable() <= PictureCeiling)
        m_resources.insert(key, reply->readAll());
    else
        m_failed.insert(key);
    m_rerenderDue = true;
    if (!m_pending.isEmpty())
        return;
    // Lay the page out again now that its pictures are at hand.
    const int scroll = verticalScrollBar()->value();
    showSource(m_source, m_url);
    verticalScrollBar()->setValue(scroll);
    finishIfDone();
}

void HtmlView::finishIfDone() {
    if (!m_completeDue || isLoading())
        return;
    m_completeDue = false;
    emit documentComplete(m_url);
}

QVariant HtmlView::loadResource(int type, const QUrl& name) {
    const QUrl url = m_url.resolved(name);
    if (url.scheme().compare(QStringLiteral("data"), Qt::CaseInsensitive) == 0 ||
        url.scheme() == QStringLiteral("qrc"))
        return QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource)
        return {};
    if (const auto it = m_resources.constFind(url); it != m_resources.constEnd())
        return *it;
    fetchResource(url);
    return {};
}

void HtmlView::abortAll() {
    if (QNetworkReply* reply = m_pageReply) {
        m_pageReply = nullptr;
        reply->abort();
    }
    const auto pending = m_pending.keys();
    m_pending.clear();
    for (QNetworkReply* reply : pending)
        reply->abort();
    m_resources.clear();
    m_failed.clear();
    m_completeDue = false;
}

void HtmlView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTextBrowser::mousePressEvent(event);
}

void HtmlView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTextBrowser::mouseReleaseEvent(event);
}
