#include "online/HtmlNesting.h"

#include <QSet>

namespace {
// Elements that never hold content, and those whose end tag may be left out: neither nests
// the elements that follow it.
bool nests(const QString& name) {
    static const QSet<QString> flat{
        QStringLiteral("area"),   QStringLiteral("base"),     QStringLiteral("br"),
        QStringLiteral("col"),    QStringLiteral("embed"),    QStringLiteral("hr"),
        QStringLiteral("img"),    QStringLiteral("input"),    QStringLiteral("link"),
        QStringLiteral("meta"),   QStringLiteral("param"),    QStringLiteral("source"),
        QStringLiteral("track"),  QStringLiteral("wbr"),      QStringLiteral("p"),
        QStringLiteral("li"),     QStringLiteral("dt"),       QStringLiteral("dd"),
        QStringLiteral("tr"),     QStringLiteral("td"),       QStringLiteral("th"),
        QStringLiteral("option"), QStringLiteral("optgroup"), QStringLiteral("thead"),
        QStringLiteral("tbody"),  QStringLiteral("tfoot"),    QStringLiteral("colgroup"),
        QStringLiteral("rp"),     QStringLiteral("rt"),       QStringLiteral("html"),
        QStringLiteral("head"),   QStringLiteral("body")};
    return !name.isEmpty() && !flat.contains(name);
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

// The position after `what` from `from` on, or the end of the text.
qsizetype after(const QString& html, const QString& what, qsizetype from) {
    const qsizetype at = html.indexOf(what, from, Qt::CaseInsensitive);
    return at < 0 ? html.size() : at + what.size();
}
} // namespace

HtmlNesting::Depths HtmlNesting::measure(const QString& html) {
    int depth = 0, tables = 0;
    Depths deepest;
    qsizetype i = 0;
    const qsizetype n = html.size();
    while (i < n && deepest.elements <= MaxDepth && deepest.tables <= MaxTableDepth) {
        i = html.indexOf(u'<', i);
        if (i < 0)
            break;
        if (html.mid(i, 4) == QLatin1String("<!--")) {
            i = after(html, QStringLiteral("-->"), i + 4);
            continue;
        }
        const bool closing = i + 1 < n && html[i + 1] == u'/';
        qsizetype j = i + (closing ? 2 : 1);
        const qsizetype nameStart = j;
        while (j < n && isNameChar(html[j]))
            ++j;
        const QString name = html.mid(nameStart, j - nameStart).toLower();
        const qsizetype end = html.indexOf(u'>', j);
        const qsizetype close = end < 0 ? n : end + 1;
        if (name.isEmpty()) { // "<!DOCTYPE", "<?xml", or a lone "<" in text
            i = (html.mid(i, 2) == QLatin1String("<!") || html.mid(i, 2) == QLatin1String("<?"))
                    ? close
                    : i + 1;
            continue;
        }
        const bool selfClosing = end > 0 && html[end - 1] == u'/';
        const bool table = name == QLatin1String("table");
        if (closing) {
            if (nests(name) && depth > 0)
                --depth;
            if (table && tables > 0)
                --tables;
        } else if (!selfClosing && nests(name)) {
            deepest.elements = qMax(deepest.elements, ++depth);
            if (table)
                deepest.tables = qMax(deepest.tables, ++tables);
        }
        i = close;
        // The text of a script or style is not markup.
        if (!closing && (name == QLatin1String("script") || name == QLatin1String("style"))) {
            i = after(html, QStringLiteral("</") + name, i);
            if (depth > 0)
                --depth;
        }
    }
    return deepest;
}
