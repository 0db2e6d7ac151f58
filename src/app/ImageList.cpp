#include "app/ImageList.h"

#include <QPainter>
#include <QSvgRenderer>

ImageList::ImageList(QSize size, const QString& pattern, int count) : m_size(size) {
    for (int i = 0; i < count; ++i)
        m_files.append(pattern.arg(i));
}

QPixmap ImageList::pixmap(int index, qreal devicePixelRatio) const {
    if (index < 0 || index >= count())
        return {};
    return render(m_files.at(index), m_size, devicePixelRatio);
}

QIcon ImageList::icon(int index) const {
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap pm = pixmap(index, ratio);
        if (!pm.isNull())
            icon.addPixmap(pm);
    }
    return icon;
}

QPixmap ImageList::render(const QString& file, QSize size, qreal devicePixelRatio) {
    if (file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(file);
        if (!renderer.isValid())
            return {};
        QPixmap pm(size * devicePixelRatio);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        renderer.render(&painter);
        painter.end();
        pm.setDevicePixelRatio(devicePixelRatio);
        return pm;
    }
    QPixmap pm(file);
    if (pm.isNull())
        return pm;
    pm = pm.scaled(size * devicePixelRatio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pm.setDevicePixelRatio(devicePixelRatio);
    return pm;
}

ImageList ImageList::MBIL() {
    return ImageList(QSize(155, 35), QStringLiteral(":/assets/mbil/mbil_%1.svg"), 6);
}

ImageList ImageList::SBIL() {
    return ImageList(QSize(35, 35), QStringLiteral(":/assets/sbil/sbil_%1.svg"), 6);
}

ImageList ImageList::CBIL() {
    return ImageList(QSize(27, 27), QStringLiteral(":/assets/cbil/cbil_%1.svg"), 2);
}

ImageList ImageList::BIL() {
    return ImageList(QSize(58, 58), QStringLiteral(":/assets/bil/bil_%1.svg"), 18);
}

ImageList ImageList::GIMG() {
    return ImageList(QSize(24, 24), QStringLiteral(":/assets/gimg/gimg_%1.svg"), 6);
}
