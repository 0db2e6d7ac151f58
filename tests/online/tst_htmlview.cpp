// The embedded HTML view against a small HTTP server on 127.0.0.1: what it sends, when it
// reports completion, its pictures, abandoned loads and failed ones.
#include "online/HtmlNesting.h"
#include "online/HtmlView.h"
#include "platform/Shell.h"

#include <QBuffer>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCursor>
#include <QtTest>

namespace {
// Answers GET requests from a table of paths; "/never" is accepted but never answered.
class LocalServer : public QObject {
public:
    struct Answer {
        QByteArray type;
        QByteArray body;
    };
    QHash<QByteArray, Answer> answers;
    QList<QByteArray> paths;
    QList<QByteArray> userAgents;

    LocalServer() {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

private:
    void serve(QTcpSocket* s) {
        m_pending[s] += s->readAll();
        if (!m_pending[s].contains("\r\n\r\n"))
            return;
        const QByteArray request = m_pending.take(s);
        const QList<QByteArray> lines = request.split('\n');
        const QByteArray path = lines.first().split(' ').value(1);
        paths << path;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                userAgents << line.mid(11).trimmed();
        if (path == "/never")
            return;
        const Answer a = answers.value(path, {"text/html", "missing"});
        const QByteArray status = answers.contains(path) ? "200 OK" : "404 Not Found";
        s->write("HTTP/1.1 " + status + "\r\nContent-Type: " + a.type +
                 "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(a.body.size()) +
                 "\r\n\r\n" + a.body);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

QByteArray png(QColor colour) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

class HtmlViewTest : public QObject {
    Q_OBJECT
private slots:
    void pageAndPicturesArriveBeforeCompletion() {
        LocalServer server;
        server.answers["/adv_top.php?pgi=0&cnt=1"] = {
            "text/html",
            "<html><body bgcolor=\"#202020\"><img src=\"pic.png\"><!--done--></body></html>"};
        server.answers["/pic.png"] = {"image/png", png(Qt::red)};
        HtmlView view;
        QSignalSpy before(&view, &HtmlView::beforeNavigate);
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        const QUrl url = server.url("/adv_top.php?pgi=0&cnt=1");
        view.navigate(url);
        QCOMPARE(before.size(), 1);
        QCOMPARE(before.first().first().toUrl(), url);
        QVERIFY(complete.isEmpty());
        QVERIFY(complete.wait(10000));
        QCOMPARE(complete.size(), 1);
        QCOMPARE(complete.first().first().toUrl(), url);
        QVERIFY(!view.isLoading());
        QVERIFY(view.documentSource().contains("<!--done-->"));
        QCOMPARE(server.paths, QList<QByteArray>({"/adv_top.php?pgi=0&cnt=1", "/pic.png"}));
        QCOMPARE(server.userAgents,
                 QList<QByteArray>(2, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)"));
        // The picture is at hand for the layout, and the body colour fills the view.
        const QVariant picture =
            view.document()->resource(QTextDocument::ImageResource, QUrl("pic.png"));
        QVERIFY(!picture.isNull());
        QCOMPARE(view.palette().color(QPalette::Base), QColor("#202020"));
    }

    void unreachableServerStillCompletes() {
        quint16 port;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(QUrl(QStringLiteral("http://127.0.0.1:%1/adv_top.php?").arg(port)));
        QVERIFY(complete.wait(10000));
        QVERIFY(view.documentSource().isEmpty());
        QVERIFY(!view.isLoading());
    }

    // A page over 1 MB is no page: it completes empty (the cover stays), read no further.
    void aPageOverItsCeilingIsNotShown() {
        LocalServer server;
        server.answers["/big"] = {"text/html", "<p>start</p>" + QByteArray(2 * 1024 * 1024, 'x')};
        server.answers["/fits"] = {"text/html", "<p>small page</p>"};
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(server.url("/big"));
        QVERIFY(complete.wait(10000));
        QVERIFY(view.documentSource().isEmpty());
        QVERIFY(!view.toPlainText().contains("start"));
        view.navigate(server.url("/fits"));
        QVERIFY(complete.wait(10000));
        QVERIFY(view.toPlainText().contains("small page"));
    }

    void nestingDepths_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("tables");
        const auto nested = [](const char* open, const char* close, int n) {
            return QString(QLatin1String(open)).repeated(n) + "x" +
                   QString(QLatin1String(close)).repeated(n);
        };
        QTest::newRow("flat paragraphs without end tags")
            << "<html><body>" + QString("<p>text").repeated(1000) + "</body></html>" << 0 << 0;
        QTest::newRow("64 divs") << nested("<div>", "</div>", 64) << 64 << 0;
        QTest::newRow("12 tables in tables")
            << nested("<table><tr><td>", "</td></tr></table>", 12) << 12 << 12;
        QTest::newRow("tables side by side")
            << QString("<table><tr><td>x</td></tr></table>").repeated(300) << 1 << 1;
        QTest::newRow("200 tables in tables")
            << nested("<table><tr><td>", "</td></tr></table>", 200) << 13 << 13;
        QTest::newRow("voids, self-closing, comments, script")
            << "<!DOCTYPE html><div><br><img src=a.png/><hr/><!-- <div><div> -->"
               "<script>if (a<b) { '<div>'; }</script><b>x</b></div>"
            << 2 << 0;
        QTest::newRow("a lone < in text") << "<div>1 < 2 <i>x</i></div>" << 2 << 0;
        QTest::newRow("unclosed fonts nest") << QString("<font>").repeated(100) << 65 << 0;
    }
    void nestingDepths() {
        QFETCH(QString, html);
        QFETCH(int, depth);
        QFETCH(int, tables);
        const HtmlNesting::Depths d = HtmlNesting::measure(html);
        QCOMPARE(d.elements, depth);
        QCOMPARE(d.tables, tables);
        QCOMPARE(HtmlNesting::tooDeep(html),
                 depth > HtmlNesting::MaxDepth || tables > HtmlNesting::MaxTableDepth);
    }

    // A page nesting deeper than 64 elements, or 12 tables, is not shown (the advert's cover
    // stays) and completes at once, without a long layout.
    void deepNestingIsNotShown() {
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        const QString deep = QString("<table><tr><td>").repeated(5000) + "deep";
        view.loadHtml(deep, QUrl("http://127.0.0.1/adv_top.php"));
        QCOMPARE(complete.size(), 1);
        QVERIFY(view.documentSource().isEmpty());
        QVERIFY(!view.toPlainText().contains("deep"));
        view.loadHtml(QString("<table><tr><td>").repeated(13) + "deep",
                      QUrl("http://127.0.0.1/adv_top.php"));
        QVERIFY(view.documentSource().isEmpty());
        const QString fits =
            QString("<div>").repeated(52) + QString("<table><tr><td>").repeated(12) + "fits";
        view.loadHtml(fits, QUrl("http://127.0.0.1/adv_top.php"));
        QVERIFY(view.toPlainText().contains("fits"));
    }

    void missingPictureDoesNotHoldCompletion() {
        LocalServer server;
        server.answers["/p"] = {"text/html", "<img src=\"/gone.png\">text"};
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(server.url("/p"));
        QVERIFY(complete.wait(10000));
        QVERIFY(server.paths.contains("/gone.png"));
        QCOMPARE(view.toPlainText().trimmed().right(4), QStringLiteral("text"));
    }

    void aNewNavigationAbandonsTheOldOne() {
        LocalServer server;
        server.answers["/b"] = {"text/html", "<p>second</p>"};
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(server.url("/never"));
        QTRY_VERIFY(server.paths.contains("/never"));
        view.navigate(server.url("/b"));
        QVERIFY(complete.wait(10000));
        QTest::qWait(100);
        QCOMPARE(complete.size(), 1);
        QCOMPARE(complete.first().first().toUrl(), server.url("/b"));
        QCOMPARE(view.documentSource(), QStringLiteral("<p>second</p>"));
    }

    void pagesWithoutCharsetAreLatin1() {
        LocalServer server;
        server.answers["/l1"] = {"text/html", "<p>Caf\xE9</p>"};
        server.answers["/u8"] = {"text/html; charset=utf-8", "<p>Caf\xC3\xA9</p>"};
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(server.url("/l1"));
        QVERIFY(complete.wait(10000));
        QCOMPARE(view.toPlainText().trimmed(), QStringLiteral("Caf\u00E9"));
        view.navigate(server.url("/u8"));
        QVERIFY(complete.wait(10000));
        QCOMPARE(view.toPlainText().trimmed(), QStringLiteral("Caf\u00E9"));
    }

    // A click on an advert's link: web links load in the view, any other link (file:, smb:,
    // mailto:, a desktop file) is ignored and never reaches the desktop's opener.
    void onlyWebLinksAreFollowed() {
        LocalServer server;
        server.answers["/next"] = {"text/html", "<p>next</p>"};
        QList<QUrl> opened;
        Shell::setObserver([&](const QUrl& url) { opened << url; });
        const auto restore = qScopeGuard([] { Shell::setObserver({}); });
        HtmlView view;
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy navigations(&view, &HtmlView::beforeNavigate);
        const QStringList targets{"file:///etc/passwd", "smb://host/share/run.exe",
                                  "file:///usr/share/applications/evil.desktop",
                                  "mailto:a@b.c?attach=/etc/passwd", "/next"};
        for (const QString& target : targets) {
            view.loadHtml("<p><a href=\"" + target + "\">LINKLINKLINK</a></p>",
                          server.url("/page"));
            QTextCursor at(view.document());
            at.setPosition(3);
            const QPoint middle = view.cursorRect(at).center();
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, middle);
        }
        QCOMPARE(opened, QList<QUrl>());
        QCOMPARE(navigations.size(), 1);
        QCOMPARE(navigations[0][0].toUrl(), server.url("/next"));
    }

    void givenDocumentCompletesAtOnceInItsColour() {
        HtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.loadHtml("<html><body bgcolor=\"#536a9f\"></body></html>");
        QCOMPARE(complete.size(), 1);
        QCOMPARE(view.palette().color(QPalette::Base), QColor(0x53, 0x6A, 0x9F));
        QCOMPARE(view.contextMenuPolicy(), Qt::PreventContextMenu);
        QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
};

QTEST_MAIN(HtmlViewTest)
#include "tst_htmlview.moc"
