#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Places a number of equally shaped pictures in rows so that they fill an area as far as their
// shape allows: the column count that gives the largest pictures wins, a shorter last row is
// centred, and the whole block is centred in the area.
class InfoLayout {
public:
    // Rectangles for `count` pictures of the given shape, `gap` pixels apart and from the edges.
    static QList<QRect> arrange(QSize area, int count, QSize pictureShape, int gap);
    // The column count arrange() chooses.
    static int bestColumns(QSize area, int count, QSize pictureShape, int gap);

private:
    static double scaleFor(QSize area, int count, int columns, QSize shape, int gap);
};
