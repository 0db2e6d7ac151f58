#include "info/TINFO_FRM.h"

#include "app/ImageList.h"
#include "info/InfoLayout.h"

#include <QPainter>

TINFO_FRM::TINFO_FRM(QWidget* parent) : Page(parent) {
    setObjectName(QStringLiteral("TINFO_FRM"));
    setAutoFillBackground(true);
}

QStringList TINFO_FRM::pictureFiles() {
    QStringList files;
    for (int i = 0; i < PictureCount; ++i)
        files << QStringLiteral(":/assets/info/info_%1.svg").arg(i);
    return files;
}

QSize TINFO_FRM::pictureShape() {
    return QSize(480, 300);
}

QList<QRect> TINFO_FRM::pictureRects() const {
    return InfoLayout::arrange(size(), PictureCount, pictureShape(), Gap);
}

void TINFO_FRM::resizeEvent(QResizeEvent* event) {
    m_rendered.clear();
    Page::resizeEvent(event);
}

void TINFO_FRM::paintEvent(QPaintEvent*) {
    const QList<QRect> rects = pictureRects();
    const QStringList files = pictureFiles();
    const qreal ratio = devicePixelRatioF();
    if (m_rendered.size() != rects.size()) {
        m_rendered.clear();
        for (int i = 0; i < rects.size(); ++i)
            m_rendered.append(ImageList::render(files.at(i), rects.at(i).size(), ratio));
    }
    QPainter painter(this);
    for (int i = 0; i < rects.size(); ++i)
        painter.drawPixmap(rects.at(i).topLeft(), m_rendered.at(i));
}
