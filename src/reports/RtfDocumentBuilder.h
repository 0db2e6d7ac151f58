#pragma once

#include "reports/RtfProps.h"

#include <QColor>
#include <QMap>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextFormat>

class QTextDocument;
class QTextTable;

// Writes the content of an RTF document into a QTextDocument: runs of formatted text,
// paragraphs, and table cells and rows, with the fonts and colours the reader collected.
class RtfDocumentBuilder {
public:
    struct Font {
        QString family;
        QFont::StyleHint hint = QFont::AnyStyle;
    };

    // The row properties are those of the reader's current row definition, read when a table
    // starts.
    RtfDocumentBuilder(QTextDocument* document, const RtfRowProps* rowProps);

    QMap<int, Font>& fonts() { return m_fonts; }
    QList<QColor>& colours() { return m_colours; }

    void addText(const QString& text, const RtfCharProps& chars, const RtfParaProps& para);
    void endParagraph(const RtfCharProps& chars, const RtfParaProps& para);
    void endCell(const RtfCharProps& chars, const RtfParaProps& para);
    void endRow();
    // Applies the last paragraph's properties; call once at the end.
    void finish(const RtfCharProps& chars, const RtfParaProps& para);

    static constexpr int kMaxColumns = 63;
    // A long table is cut into tables of this many rows, one straight after another: Qt finds
    // a cell's row and column by a search over all the cells of its table, so one table of
    // 10,000 rows makes the layout and every printed page slower with each row.
    static constexpr int kRowsPerTable = 64;
    // Set on the table format of every table that carries on the rows of the one before it.
    static constexpr int ContinuedTable = QTextFormat::UserProperty + 1;

private:
    void flushRun();
    void prepareFor(const RtfParaProps& para);
    void startTable();
    void dropEmptyBlockBeforeTable();
    void endTable();
    void continueTable();
    void enterCell();
    QTextCharFormat charFormat(const RtfCharProps& chars) const;
    QTextBlockFormat blockFormat(const RtfParaProps& para) const;

    QTextCursor m_editBlock; // holds one edit block over the whole read: one layout at the end
    QTextCursor m_cursor;
    QMap<int, Font> m_fonts;
    QList<QColor> m_colours;

    QString m_run;
    RtfCharProps m_runProps;

    QTextTable* m_table = nullptr;
    int m_row = 0;
    int m_column = 0;
    bool m_cellPending = false; // the cursor must move to cell (m_row, m_column)
    bool m_rowEnded = false;
    const RtfRowProps* m_rowProps;
};
