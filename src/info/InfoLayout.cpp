#include "info/InfoLayout.h"

#include <algorithm>

double InfoLayout::scaleFor(QSize area, int count, int columns, QSize shape, int gap) {
    const int rows = (count + columns - 1) / columns;
    const double cellWidth = double(area.width() - gap * (columns + 1)) / columns;
    const double cellHeight = double(area.height() - gap * (rows + 1)) / rows;
    if (cellWidth <= 0 || cellHeight <= 0)
        return 0;
    return std::min(cellWidth / shape.width(), cellHeight / shape.height());
}

int InfoLayout::bestColumns(QSize area, int count, QSize shape, int gap) {
    int best = 1;
    double bestScale = -1;
    for (int columns = 1; columns <= count; ++columns) {
        const double scale = scaleFor(area, count, columns, shape, gap);
        if (scale > bestScale + 1e-9) {
            bestScale = scale;
            best = columns;
        }
    }
    return best;
}

QList<QRect> InfoLayout::arrange(QSize area, int count, QSize shape, int gap) {
    QList<QRect> rects;
    if (count <= 0 || shape.isEmpty() || area.isEmpty())
        return rects;
    const int columns = bestColumns(area, count, shape, gap);
    const int rows = (count + columns - 1) / columns;
    const double scale = std::max(0.0, scaleFor(area, count, columns, shape, gap));
    const int w = int(shape.width() * scale);
    const int h = int(shape.height() * scale);
    const int blockHeight = rows * h + (rows - 1) * gap;
    const int top = (area.height() - blockHeight) / 2;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int inRow = std::min(columns, count - row * columns);
        const int rowWidth = inRow * w + (inRow - 1) * gap;
        const int left = (area.width() - rowWidth) / 2;
        const int column = i % columns;
        rects.append(QRect(left + column * (w + gap), top + row * (h + gap), w, h));
    }
    return rects;
}
