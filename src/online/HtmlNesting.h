#pragma once

#include <QString>

// How deeply the elements of an HTML page nest, read the way a browser builds its tree closely
// enough to refuse a page built to exhaust the layout (tables in tables in tables...): elements
// without content (br, img...) and those whose end tag may be left out (p, li, tr, td...) do
// not count, comments, declarations and the text of script and style are passed over.
class HtmlNesting {
public:
    // A page nesting deeper than this is not shown.
    static constexpr int MaxDepth = 64;
    // Nor one with tables nested deeper than this: Qt's layout time doubles with each level
    // (12 levels take about 30 ms, 16 half a second, 20 seven seconds).
    static constexpr int MaxTableDepth = 12;

    struct Depths {
        int elements = 0; // the deepest nesting of elements
        int tables = 0;   // the deepest nesting of tables
    };
    // Counting stops once either depth is past its limit.
    static Depths measure(const QString& html);
    static int depth(const QString& html) { return measure(html).elements; }
    static bool tooDeep(const QString& html) {
        const Depths d = measure(html);
        return d.elements > MaxDepth || d.tables > MaxTableDepth;
    }
};
