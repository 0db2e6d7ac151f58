#include "reports/ReportDocument.h"

#include "reports/ReportFileError.h"
#include "reports/ReportPageSetup.h"
#include "reports/RtfDocumentBuilder.h"
#include "reports/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <limits>

namespace {
constexpr qreal FooterBand = 36.0; // room at the paper's foot for the page number
constexpr qreal FooterHeight = 16.0;
constexpr qreal FooterPixels = 11.0; // 8 points
// 96 dots per inch in dots per metre, for the layout's measuring device.
constexpr int DotsPerMetre = 3780;

qreal pointsToPixels(qreal points) {
    return points * ReportDocument::Dpi / 72.0;
}
} // namespace

namespace {
// Holds back the timer events of a document layout.
class TimerBlock : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Timer; }
};
} // namespace

ReportDocument::ReportDocument(const QLocale& locale)
    : m_locale(locale), m_metrics(8, 8, QImage::Format_RGB32),
      m_timerBlock(std::make_unique<TimerBlock>()), m_document(std::make_unique<QTextDocument>()) {
    m_metrics.setDotsPerMeterX(DotsPerMetre);
    m_metrics.setDotsPerMeterY(DotsPerMetre);
    setRtf(QByteArray());
}

ReportDocument::~ReportDocument() {
    m_reader.reset();
    m_document.reset(); // before the filter it may still have
}

void ReportDocument::setRtf(const QByteArray& rtf) {
    begin(rtf);
    while (!step(std::numeric_limits<int>::max())) {
    }
}

void ReportDocument::begin(const QByteArray& rtf) {
    m_reader.reset(); // a read still running is of the document replaced here
    m_pages.assign(1, Page{});
    m_document = std::make_unique<QTextDocument>();
    m_document->setUndoRedoEnabled(false);
    m_document->setDocumentMargin(0);
    // The document is given its layout, and laid out, only once it is read: a layout present
    // during the read would lay the whole document out at its end, all at once.
    m_reader = std::make_unique<RtfReader>();
    m_reader->start(rtf, m_document.get());
    m_laidTo = 0;
}

bool ReportDocument::step(int milliseconds) {
    QElapsedTimer time;
    time.start();
    if (m_reader) {
        while (!m_reader->advance(ReadStep)) {
            if (time.elapsed() >= milliseconds)
                return false;
        }
        m_pageLayout = layoutFor(m_reader->page());
        m_reader.reset();
        QAbstractTextDocumentLayout* layout = m_document->documentLayout();
        layout->setPaintDevice(&m_metrics);
        // Qt lays a document out lazily from its own timer, in steps that grow to a large part
        // of a long report; here the steps are step()'s, each within its time.
        layout->installEventFilter(m_timerBlock.get());
        m_document->setTextWidth(bodyRect().width());
    }
    if (m_laidTo < 0)
        return true;
    // Asking where a block lies lays the document out as far as that block.
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();
    const int end = m_document->characterCount();
    while (m_laidTo < end) {
        if (time.elapsed() >= milliseconds)
            return false;
        m_laidTo = std::min(end, m_laidTo + LayoutStep);
        (void)layout->blockBoundingRect(m_document->findBlock(m_laidTo - 1));
    }
    m_laidTo = -1;
    layout->removeEventFilter(m_timerBlock.get());
    fitWidth();
    paginate();
    return true;
}

qreal ReportDocument::progress() const {
    // Reading takes about a third of the time, the layout the rest.
    if (m_reader)
        return m_reader->done() / 3;
    if (m_laidTo >= 0)
        return 1.0 / 3 + 2.0 / 3 * m_laidTo / std::max(1, m_document->characterCount());
    return 1.0;
}

void ReportDocument::setPaper(const QPageSize& size, QPageLayout::Orientation orientation) {
    m_paper = Paper{size, orientation};
    if (m_pageLayout.pageSize().isEquivalentTo(size) && m_pageLayout.orientation() == orientation)
        return;
    m_pageLayout = layoutFor(m_pageLayout);
    m_document->setTextWidth(bodyRect().width());
    fitWidth();
    paginate();
}

QPageLayout ReportDocument::layoutFor(const RtfPageProps& page) const {
    return layoutFor(ReportPageSetup::layoutFor(page, m_locale));
}

// The document's page on the paper chosen for it, if one was; the margins stay.
QPageLayout ReportDocument::layoutFor(QPageLayout layout) const {
    if (m_paper) {
        layout.setOrientation(m_paper->orientation);
        layout.setPageSize(m_paper->size);
    }
    return layout;
}

// Content wider than the page is scaled down to fit its width.
void ReportDocument::fitWidth() {
    const qreal width = bodyRect().width();
    m_scale = 1.0;
    const qreal used = m_document->documentLayout()->documentSize().width();
    if (used > width + 0.5) {
        m_scale = width / used;
        // Laid out again at the width used, so paragraphs span the table they go with; for a
        // table a few pixels too wide (lines and padding beyond the page's width) the paragraphs
        // keep theirs, and the second layout of a long report is saved.
        if (used > width * 1.02)
            m_document->setTextWidth(used);
    }
}

void ReportDocument::load(const QString& path) {
    const QByteArray rtf = readReportFile(path);
    setRtf(rtf);
}

QSizeF ReportDocument::paperSize() const {
    const QSizeF points = m_pageLayout.fullRect(QPageLayout::Point).size();
    return {pointsToPixels(points.width()), pointsToPixels(points.height())};
}

// The part of the paper the content goes in; the foot keeps room for the page number.
QRectF ReportDocument::bodyRect() const {
    const QMarginsF m = m_pageLayout.margins(QPageLayout::Point);
    const QSizeF paper = paperSize();
    const qreal foot = std::max(pointsToPixels(m.bottom()), FooterBand);
    const qreal left = pointsToPixels(m.left());
    const qreal top = pointsToPixels(m.top());
    return QRectF(left, top, std::max(1.0, paper.width() - left - pointsToPixels(m.right())),
                  std::max(1.0, paper.height() - top - foot));
}

// A table's cuts: between its rows, each with the header rows a page starting there repeats.
// A table that carries on the rows of the one before it (a long table is read as several)
// repeats the header of the first; `repeated` holds it from one to the next.
void ReportDocument::addTableCuts(QTextTable* table, std::vector<Cut>& out, Span& repeated) const {
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();
    const QRectF frame = layout->frameBoundingRect(table);
    auto contentTop = [&](int row) {
        return layout->blockBoundingRect(table->cellAt(row, 0).firstCursorPosition().block()).top();
    };
    // A row starts as far above its first cell's text as the first row does above its own; the
    // line between two rows stays with the upper one, so a page's last row is closed below.
    const qreal inset = contentTop(0) - frame.top();
    const qreal line = table->format().border();
    auto rowTop = [&](int row) { return contentTop(row) - inset + line; };
    const int rows = table->rows();
    const bool continued = table->format().boolProperty(RtfDocumentBuilder::ContinuedTable);
    int first = 1;
    if (continued) {
        // The table is drawn up over the foot of the one before (the line between them is
        // one line): a page ends above its first row, as between any two rows, not at the
        // foot of the table before, which would draw that row's top on the page too.
        if (!out.empty())
            out.pop_back();
        first = 0;
    } else {
        const int headers = std::min(table->format().headerRowCount(), rows);
        const Span header =
            headers > 0 ? Span{frame.top(), rowTop(std::min(headers, rows - 1))} : Span{};
        repeated = headers > 0 && headers < rows ? header : Span{};
        out.push_back({frame.top(), {}});
        // The header rows stay with the first row below them.
        first = std::max(1, headers + 1);
    }
    for (int row = first; row < rows; ++row)
        out.push_back({rowTop(row), repeated});
    out.push_back({frame.bottom(), {}});
}

std::vector<ReportDocument::Cut> ReportDocument::cuts() const {
    std::vector<Cut> out;
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();
    Span repeated;
    for (auto it = m_document->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(frame)) {
                addTableCuts(table, out, repeated);
            } else {
                const QRectF r = layout->frameBoundingRect(frame);
                out.push_back({r.top(), {}});
                out.push_back({r.bottom(), {}});
            }
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QTextLayout* lines = block.layout();
        const QRectF r = layout->blockBoundingRect(block);
        for (int i = 0; lines && i < lines->lineCount(); ++i)
            out.push_back({r.top() + lines->lineAt(i).y(), {}});
        out.push_back({r.bottom(), {}});
    }
    std::stable_sort(out.begin(), out.end(), [](const Cut& a, const Cut& b) { return a.y < b.y; });
    return out;
}

void ReportDocument::paginate() {
    m_pages.clear();
    const std::vector<Cut> cutList = cuts();
    const qreal height = m_document->documentLayout()->documentSize().height();
    const qreal room = bodyRect().height() / m_scale;
    qreal top = 0;
    Span header;
    while (top < height - 0.5) {
        if (header.height() > room / 2)
            header = Span{}; // header rows that would crowd out the rows are not repeated
        const qreal limit = top + room - header.height();
        qreal end = height;
        Span next;
        if (limit < height) {
            auto after = std::upper_bound(cutList.begin(), cutList.end(), limit,
                                          [](qreal y, const Cut& c) { return y < c.y; });
            end = limit; // nothing to cut at: a row taller than the page is cut where it must
            next = header;
            if (after != cutList.begin() && std::prev(after)->y > top + 0.5) {
                end = std::prev(after)->y;
                next = std::prev(after)->header;
            }
        }
        m_pages.push_back({header, {top, end}});
        top = end;
        header = next;
    }
    if (m_pages.empty())
        m_pages.push_back({});
}

void ReportDocument::paintSpan(QPainter& painter, const Span& span, qreal y) const {
    if (span.height() <= 0)
        return;
    const QRectF body = bodyRect();
    const QRectF source(0, span.top, body.width() / m_scale, span.height());
    painter.save();
    painter.translate(body.left(), y);
    painter.scale(m_scale, m_scale);
    painter.setClipRect(QRectF(0, 0, source.width(), source.height()), Qt::IntersectClip);
    painter.translate(0, -span.top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = source;
    context.palette.setColor(QPalette::Text, Qt::black);
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
}

void ReportDocument::paintFooter(QPainter& painter, int index) const {
    const QRectF body = bodyRect();
    const qreal foot = paperSize().height() - body.bottom();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(FooterPixels));
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor(89, 89, 89));
    painter.drawText(
        QRectF(body.left(), body.bottom() + (foot - FooterHeight) / 2, body.width(), FooterHeight),
        Qt::AlignCenter, QStringLiteral("Page %1 of %2").arg(index + 1).arg(pageCount()));
    painter.restore();
}

void ReportDocument::paintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= pageCount())
        return;
    const Page& page = m_pages[size_t(index)];
    const qreal top = bodyRect().top();
    paintSpan(painter, page.header, top);
    paintSpan(painter, page.body, top + page.header.height() * m_scale);
    paintFooter(painter, index);
}

void ReportDocument::setUpDevice(QPagedPaintDevice& device) const {
    QPageLayout paper = m_pageLayout;
    paper.setMargins(QMarginsF());
    device.setPageLayout(paper);
}

void ReportDocument::printPage(QPainter& painter, const QPaintDevice& device, int index) const {
    painter.save();
    painter.scale(device.logicalDpiX() / Dpi, device.logicalDpiY() / Dpi);
    paintPage(painter, index);
    painter.restore();
}

bool ReportDocument::print(QPagedPaintDevice& device, const Progress& progress, int first,
                           int last) const {
    first = std::clamp(first, 0, pageCount() - 1);
    last = last < 0 ? pageCount() - 1 : std::clamp(last, first, pageCount() - 1);
    setUpDevice(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int count = last - first + 1;
    for (int i = first; i <= last; ++i) {
        if (i > first && !device.newPage())
            return false;
        printPage(painter, device, i);
        if (progress && !progress(i - first + 1, count))
            return false;
    }
    return painter.end();
}
