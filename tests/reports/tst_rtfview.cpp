// The detail pane's read-only rich-text view RE.
#include "reports/ReportFileError.h"
#include "reports/RtfView.h"

#include <QTemporaryDir>
#include <QTextTable>
#include <QtTest>

class TestRtfView : public QObject {
    Q_OBJECT

private slots:
    void isReadOnlyAndNamed();
    void loadsFileReplacingContent();
    void unreadableFileKeepsContent();
};

void TestRtfView::isReadOnlyAndNamed() {
    RtfView view;
    QCOMPARE(view.objectName(), QStringLiteral("RE"));
    QVERIFY(view.isReadOnly());
    QVERIFY(!view.openLinks());
    QVERIFY(!view.openExternalLinks());
}

void TestRtfView::loadsFileReplacingContent() {
    QTemporaryDir dir;
    const QString path = dir.filePath("PD_DV.RTF");
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0{\\b\\fs28 Acme}\\par Phone   : "
          "1\\par www.acme.example}");
    RtfView view;
    view.resize(400, 200);
    view.show();
    view.loadFile(path);
    QCOMPARE(view.toPlainText(), QStringLiteral("Acme\nPhone   : 1\nwww.acme.example"));
    QCOMPARE(view.textCursor().position(), 0);
    // A web address is shown as text, not turned into a link.
    QVERIFY(!view.document()->toHtml().contains(QStringLiteral("href")));
    write("{\\rtf1 Second}");
    view.loadFile(path);
    QCOMPARE(view.toPlainText(), QStringLiteral("Second"));
}

void TestRtfView::unreadableFileKeepsContent() {
    RtfView view;
    view.loadRtf("{\\rtf1 Kept}");
    QTemporaryDir dir;
    try {
        view.loadFile(dir.filePath("missing.rtf"));
        QFAIL("no error");
    } catch (const ReportFileError& e) {
        QVERIFY(e.message().contains(QStringLiteral("missing.rtf")));
    }
    QCOMPARE(view.toPlainText(), QStringLiteral("Kept"));
}

QTEST_MAIN(TestRtfView)
#include "tst_rtfview.moc"
