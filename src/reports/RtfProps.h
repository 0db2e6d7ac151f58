#pragma once

#include <QList>
#include <QTextOption>
#include <algorithm>

// Twips (1/1440 inch) to the document's pixels (1/96 inch), within the largest length a word
// processor accepts (22 inches): longer ones would only stall the layout.
inline qreal rtfTwipsToPixels(int twips) {
    constexpr int maxTwips = 31680;
    return std::clamp(twips, -maxTwips, maxTwips) / 15.0;
}

// Character properties of the RTF state (sizes in half-points, colours as table indexes).
struct RtfCharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool allCaps = false;
    bool smallCaps = false;
    int vertical = 0; // 1 superscript, -1 subscript
    int fontSize = 24;
    int font = -1;
    int foreground = -1;
    int background = -1;

    bool operator==(const RtfCharProps&) const = default;
};

// Paragraph properties of the RTF state (lengths in twips).
struct RtfParaProps {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    bool inTable = false;
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
};

// Properties of the table row being defined (cell right edges in twips).
struct RtfRowProps {
    QList<int> cellRight;
    int left = 0;
    int gap = 0;
    bool borders = false;
    bool header = false; // \trhdr: repeated at the top of each printed page
};

// Page properties of the document (lengths in twips, 0 where the document sets none).
struct RtfPageProps {
    int paperWidth = 0;
    int paperHeight = 0;
    bool landscape = false;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
};
