#include "reports/RtfDocumentBuilder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument* document, const RtfRowProps* rowProps)
    : m_editBlock(document), m_cursor(document), m_rowProps(rowProps) {
    m_editBlock.beginEditBlock();
}

void RtfDocumentBuilder::addText(const QString& text, const RtfCharProps& chars,
                                 const RtfParaProps& para) {
    if (text.isEmpty() || chars.hidden)
        return;
    prepareFor(para);
    if (!(chars == m_runProps))
        flushRun();
    m_runProps = chars;
    m_run += text;
}

void RtfDocumentBuilder::endParagraph(const RtfCharProps& chars, const RtfParaProps& para) {
    prepareFor(para);
    flushRun();
    m_cursor.setBlockFormat(blockFormat(para));
    m_cursor.setBlockCharFormat(charFormat(chars));
    m_cursor.insertBlock();
}

void RtfDocumentBuilder::endCell(const RtfCharProps& chars, const RtfParaProps& para) {
    RtfParaProps cellPara = para;
    cellPara.inTable = true;
    prepareFor(cellPara);
    flushRun();
    m_cursor.setBlockFormat(blockFormat(cellPara));
    m_cursor.setBlockCharFormat(charFormat(chars));
    ++m_column;
    m_cellPending = true;
}

void RtfDocumentBuilder::endRow() {
    if (!m_table)
        return;
    flushRun();
    // Header rows are the rows marked so at the top of the table: a printed page repeats them.
    QTextTableFormat format = m_table->format();
    if (m_rowProps->header && format.headerRowCount() == m_row &&
        !format.boolProperty(ContinuedTable)) {
        format.setHeaderRowCount(m_row + 1);
        m_table->setFormat(format);
    }
    m_rowEnded = true;
    m_cellPending = false;
}

void RtfDocumentBuilder::finish(const RtfCharProps& chars, const RtfParaProps& para) {
    flushRun();
    if (m_table)
        endTable();
    if (m_cursor.block().length() <= 1 && m_cursor.block().previous().isValid() &&
        !m_cursor.currentTable() && !m_cursor.block().previous().text().isEmpty()) {
        // The paragraph mark that ends the last paragraph opens no paragraph of its own.
        m_cursor.deletePreviousChar();
    } else {
        m_cursor.setBlockFormat(blockFormat(para));
        m_cursor.setBlockCharFormat(charFormat(chars));
    }
    m_editBlock.endEditBlock();
}

// Joins the current empty paragraph to the one before it, so that a table that starts here
// follows that paragraph directly instead of an empty line.
void RtfDocumentBuilder::dropEmptyBlockBeforeTable() {
    const QTextBlock block = m_cursor.block();
    if (block.length() > 1 || !block.previous().isValid())
        return;
    QTextCursor previous(block.previous());
    if (previous.currentTable() || previous.currentFrame() != m_cursor.currentFrame())
        return;
    m_cursor.deletePreviousChar();
}

void RtfDocumentBuilder::flushRun() {
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, charFormat(m_runProps));
    m_run.clear();
}

// Makes the cursor stand where content of a paragraph with these properties goes: inside or
// outside a table, in the right cell.
void RtfDocumentBuilder::prepareFor(const RtfParaProps& para) {
    if (para.inTable && !m_table) {
        flushRun();
        startTable();
        return;
    }
    if (!para.inTable && m_table) {
        flushRun();
        endTable();
        return;
    }
    if (!m_table)
        return;
    if (m_rowEnded) {
        flushRun();
        if (m_table->rows() >= kRowsPerTable) {
            continueTable();
        } else {
            m_table->appendRows(1);
            ++m_row;
        }
        m_column = 0;
        m_rowEnded = false;
        m_cellPending = true;
    }
    if (m_cellPending) {
        flushRun();
        enterCell();
    }
}

void RtfDocumentBuilder::startTable() {
    const RtfRowProps* row = m_rowProps;
    const int columns = std::clamp(int(row->cellRight.size()), 1, kMaxColumns);
    QTextTableFormat format;
    format.setBorder(row->borders ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QColor(Qt::black));
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(std::clamp(rtfTwipsToPixels(row->gap), 1.0, 40.0));
    format.setAlignment(Qt::AlignLeft);
    QList<QTextLength> widths;
    int left = row->left;
    for (int i = 0; i < columns && i < row->cellRight.size(); ++i) {
        widths.append(
            QTextLength(QTextLength::FixedLength,
                        std::clamp(rtfTwipsToPixels(row->cellRight[i] - left), 8.0, 4000.0)));
        left = row->cellRight[i];
    }
    if (widths.size() == columns)
        format.setColumnWidthConstraints(widths);
    dropEmptyBlockBeforeTable();
    m_table = m_cursor.insertTable(1, columns, format);
    m_row = 0;
    m_column = 0;
    m_rowEnded = false;
    m_cellPending = true;
    enterCell();
}

// Carries the table on in a new one of the same format, straight below it: the page's cuts
// treat it as the same table, its header rows repeated from the first.
void RtfDocumentBuilder::continueTable() {
    QTextTableFormat format = m_table->format();
    format.setHeaderRowCount(0);
    format.setProperty(ContinuedTable, true);
    // Drawn up over the foot of the table before (Qt leaves about a cell's padding below a
    // table's last line), so the lines of the two fall together into one.
    format.setTopMargin(0.5 - format.cellPadding());
    const int columns = m_table->columns();
    endTable();
    m_table = m_cursor.insertTable(1, columns, format);
    m_row = 0;
}

void RtfDocumentBuilder::endTable() {
    m_cursor = m_table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_table = nullptr;
    m_rowEnded = false;
    m_cellPending = false;
}

void RtfDocumentBuilder::enterCell() {
    m_cellPending = false;
    if (m_column >= m_table->columns()) {
        if (m_table->columns() < kMaxColumns) {
            m_table->appendColumns(m_column - m_table->columns() + 1);
        } else {
            // Too many cells: the rest of the row shares the last cell.
            m_column = m_table->columns() - 1;
            m_cursor = m_table->cellAt(m_row, m_column).lastCursorPosition();
            m_cursor.insertText(QStringLiteral(" "));
            return;
        }
    }
    m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
}

QTextCharFormat RtfDocumentBuilder::charFormat(const RtfCharProps& c) const {
    QTextCharFormat f;
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    f.setFontPointSize(std::clamp(c.fontSize, 2, 3276) / 2.0);
    if (c.allCaps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.vertical > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vertical < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    const auto font = m_fonts.constFind(c.font);
    if (font != m_fonts.constEnd() && !font->family.isEmpty()) {
        f.setFontFamilies(QStringList{font->family});
        f.setFontStyleHint(font->hint);
    }
    if (c.foreground >= 0 && c.foreground < m_colours.size() && m_colours[c.foreground].isValid())
        f.setForeground(m_colours[c.foreground]);
    if (c.background >= 0 && c.background < m_colours.size() && m_colours[c.background].isValid())
        f.setBackground(m_colours[c.background]);
    return f;
}

QTextBlockFormat RtfDocumentBuilder::blockFormat(const RtfParaProps& p) const {
    QTextBlockFormat f;
    f.setAlignment(p.alignment);
    f.setLeftMargin(std::max(0.0, rtfTwipsToPixels(p.leftIndent)));
    f.setRightMargin(std::max(0.0, rtfTwipsToPixels(p.rightIndent)));
    f.setTextIndent(rtfTwipsToPixels(p.firstIndent));
    f.setTopMargin(std::max(0.0, rtfTwipsToPixels(p.spaceBefore)));
    f.setBottomMargin(std::max(0.0, rtfTwipsToPixels(p.spaceAfter)));
    if (p.lineSpacing != 0) {
        if (p.lineMultiple && p.lineSpacing > 0)
            f.setLineHeight(std::min(p.lineSpacing * 100.0 / 240.0, 1000.0),
                            QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing > 0)
            f.setLineHeight(rtfTwipsToPixels(p.lineSpacing), QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(rtfTwipsToPixels(-p.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (!p.tabs.isEmpty())
        f.setTabPositions(p.tabs);
    return f;
}
