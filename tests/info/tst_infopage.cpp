// The information page: its seven pictures exist, and the layout fills any page size with
// equal, non-overlapping pictures in reading order.
#include "app/ImageList.h"
#include "info/InfoLayout.h"
#include "info/TINFO_FRM.h"

#include <QtTest>

class InfoPageTest : public QObject {
    Q_OBJECT
private slots:
    void everyPictureIsThere() {
        const QStringList files = TINFO_FRM::pictureFiles();
        QCOMPARE(files.size(), 7);
        for (const QString& f : files)
            QVERIFY2(!ImageList::render(f, QSize(96, 60)).isNull(), qPrintable(f));
    }

    void layoutFillsTheArea_data() {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<int>("columns");
        QTest::newRow("1280x1024 screen") << QSize(1280, 787) << 3;
        QTest::newRow("1920x1080 screen") << QSize(1920, 843) << 4;
        QTest::newRow("design size") << QSize(800, 300) << 4;
        QTest::newRow("tall and narrow") << QSize(400, 1400) << 1;
    }
    void layoutFillsTheArea() {
        QFETCH(QSize, area);
        QFETCH(int, columns);
        const QSize shape = TINFO_FRM::pictureShape();
        const int gap = TINFO_FRM::Gap;
        QCOMPARE(InfoLayout::bestColumns(area, 7, shape, gap), columns);
        const QList<QRect> rects = InfoLayout::arrange(area, 7, shape, gap);
        QCOMPARE(rects.size(), 7);
        for (int i = 0; i < rects.size(); ++i) {
            QVERIFY(QRect(QPoint(0, 0), area).contains(rects[i]));
            QCOMPARE(rects[i].size(), rects[0].size());
            QVERIFY(std::abs(rects[i].width() * 5 - rects[i].height() * 8) <= 8);
            for (int j = 0; j < i; ++j)
                QVERIFY(!rects[i].intersects(rects[j]));
        }
        // Reading order: left to right, then top to bottom.
        for (int i = 1; i < rects.size(); ++i)
            QVERIFY(rects[i].top() > rects[i - 1].top() || rects[i].left() > rects[i - 1].left());
        // Either the width or the height is used up to the gaps (less rounding per row).
        const QRect all = std::accumulate(rects.begin(), rects.end(), QRect(), std::bit_or<>());
        QVERIFY(all.width() >= area.width() - 2 * gap - 7 ||
                all.height() >= area.height() - 2 * gap - 7);
        // The shorter last row is centred.
        const QRect last = rects.last();
        const int firstRowLeft = rects.first().left();
        const int lastRowLeft = rects[(rects.size() - 1) / columns * columns].left();
        if (7 % columns != 0)
            QVERIFY(lastRowLeft > firstRowLeft);
        QVERIFY(std::abs((area.width() - last.right() - 1) - lastRowLeft) <= 1);
    }

    void noColumnCountGivesLargerPictures() {
        const QSize shape = TINFO_FRM::pictureShape();
        for (QSize area :
             {QSize(1280, 787), QSize(1000, 500), QSize(600, 900), QSize(2560, 1300)}) {
            const int chosen = InfoLayout::arrange(area, 7, shape, 16).first().width();
            for (int columns = 1; columns <= 7; ++columns) {
                const int rows = (7 + columns - 1) / columns;
                const double scale =
                    std::min(double(area.width() - 16 * (columns + 1)) / columns / shape.width(),
                             double(area.height() - 16 * (rows + 1)) / rows / shape.height());
                QVERIFY(int(shape.width() * scale) <= chosen);
            }
        }
    }

    void degenerateAreas() {
        QVERIFY(InfoLayout::arrange(QSize(0, 0), 7, QSize(8, 5), 16).isEmpty());
        QVERIFY(InfoLayout::arrange(QSize(100, 100), 0, QSize(8, 5), 16).isEmpty());
        for (const QRect& r : InfoLayout::arrange(QSize(20, 20), 7, QSize(8, 5), 16)) {
            QVERIFY(r.width() >= 0);
            QVERIFY(r.height() >= 0);
        }
    }

    void pageDrawsItsPicturesAtItsSize() {
        TINFO_FRM page;
        page.resize(1280, 787);
        const QImage shot = page.grab().toImage();
        const QList<QRect> rects = page.pictureRects();
        QCOMPARE(rects.size(), 7);
        // The cards are light; between them the page keeps its own colour.
        const QColor inside = shot.pixelColor(rects[0].center());
        QVERIFY(inside.lightness() > 180);
        QCOMPARE(shot.pixelColor(2, 2), page.palette().color(QPalette::Window));
    }
};

QTEST_MAIN(InfoPageTest)
#include "tst_infopage.moc"
