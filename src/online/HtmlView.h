#pragma once

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>

// The embedded HTML view of the advertisement panes: a read-only rich-text browser that loads
// its pages and their pictures itself over HTTP, runs no scripts, loads no frames, and has no
// border, scroll bars or context menu.
class HtmlView : public QTextBrowser {
    Q_OBJECT
public:
    static inline const QByteArray UserAgent =
        QByteArrayLiteral("Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");

    explicit HtmlView(QWidget* parent = nullptr);
    ~HtmlView() override;

    // Loads the page; beforeNavigate is emitted first, documentComplete once the page and the
    // pictures it names have arrived (or failed). A load still running is abandoned.
    void navigate(const QUrl& url);
    // Shows a document given as text, as if it had been loaded from baseUrl.
    void loadHtml(const QString& html, const QUrl& baseUrl = QUrl());

    // The HTML text of the current document as it was received.
    QString documentSource() const { return m_source; }
    QUrl currentUrl() const { return m_url; }
    bool isLoading() const { return m_pageReply != nullptr || !m_pending.isEmpty(); }

    QNetworkAccessManager* network() const { return m_network; }

signals:
    void beforeNavigate(const QUrl& url);
    void documentComplete(const QUrl& url);

protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pageArrived(QNetworkReply* reply);
    void resourceArrived(QNetworkReply* reply, const QUrl& key);
    void showSource(const QString& html, const QUrl& base);
    void fetchResource(const QUrl& url);
    void fetchPictures();
    void finishIfDone();
    void abortAll();
    QString decodePage(QNetworkReply* reply, const QByteArray& body) const;

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_pageReply;
    QHash<QNetworkReply*, QUrl> m_pending;
    QHash<QUrl, QByteArray> m_resources;
    QSet<QUrl> m_failed;
    QString m_source;
    QUrl m_url;
    bool m_completeDue = false;
    bool m_rerenderDue = false;
};
