#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QVector>

// A list of equally sized pictures drawn from the compiled-in assets, such as the page-button
// lists MBIL and SBIL, the close button's CBIL, the action buttons' BIL and the list icons GIMG.
class ImageList {
public:
    ImageList() = default;
    // Pictures "<pattern>" with %1 replaced by 0 .. count-1, e.g. ":/assets/mbil/mbil_%1.svg".
    ImageList(QSize size, const QString& pattern, int count);

    int count() const { return static_cast<int>(m_files.size()); }
    QSize size() const { return m_size; }
    // The picture at the list's size (sharp on high-density screens); empty when out of range
    // or when the picture is missing.
    QPixmap pixmap(int index, qreal devicePixelRatio = 1.0) const;
    QIcon icon(int index) const;

    // The lists of the main window.
    static ImageList MBIL();
    static ImageList SBIL();
    static ImageList CBIL();
    static ImageList BIL();
    static ImageList GIMG();

    // Renders one picture file (SVG or bitmap) at the given size.
    static QPixmap render(const QString& file, QSize size, qreal devicePixelRatio = 1.0);

private:
    QSize m_size;
    QVector<QString> m_files;
};
