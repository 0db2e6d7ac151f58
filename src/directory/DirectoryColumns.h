#pragma once

#include "contacts/ContactRow.h"

#include <QString>
#include <QVariant>

// The fourteen columns that the personal and business result lists share: header, width and the
// field of a row that each column shows.
class DirectoryColumns {
public:
    static constexpr int Count = 14;

    static QString title(int column);
    static int width(int column);
    // The text of a row's field shown in a list column; column 0 (the position) has none here.
    static QString cellText(const ContactRow& row, int column);
    // The cell text on one line: line breaks of a description become blanks.
    static QString displayText(const ContactRow& row, int rowPosition, int column);
    // Right alignment for the position column, left for the others.
    static QVariant alignment(int column);
    // The list header's data: the column titles, the position column's title aligned right.
    static QVariant header(int section, Qt::Orientation orientation, int role);
};
