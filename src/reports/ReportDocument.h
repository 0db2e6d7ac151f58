#pragma once

#include <QByteArray>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QString>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class RtfReader;
struct RtfPageProps;

// A report laid out on printed pages: the RTF document as the detail pane's reader makes it,
// on the page of ReportPageSetup, cut between lines and table rows (a row is never split unless
// it is taller than a page), the table's header rows repeated at the top of each page, and
// "Page N of M" in the footer. Content wider than the page is scaled down to fit its width.
// Lengths are in 96-dpi pixels of the paper, whatever the screen.
class ReportDocument {
public:
    explicit ReportDocument(const QLocale& locale = QLocale::system());
    ~ReportDocument();

    // Replaces the content with the RTF document (text that is not RTF shows as plain text).
    void setRtf(const QByteArray& rtf);
    // The same a part at a time, for a window that keeps working meanwhile: begin(), then
    // step() until it answers true; until then the pages are not to be painted or printed.
    void begin(const QByteArray& rtf);
    // Reads and lays out for about `milliseconds`; true when the pages are ready.
    bool step(int milliseconds);
    // How far begin() has come, 0 to 1.
    qreal progress() const;
    // Reads an RTF file; ReportFileError when it cannot be read.
    void load(const QString& path);
    // Lays the pages out on other paper than the document's (a print dialog's choice of size
    // or orientation), its margins kept; holds for later documents too.
    void setPaper(const QPageSize& size, QPageLayout::Orientation orientation);

    QTextDocument& document() { return *m_document; }
    const QPageLayout& pageLayout() const { return m_pageLayout; }
    int pageCount() const { return int(m_pages.size()); }
    // The paper in 96-dpi pixels.
    QSizeF paperSize() const;

    // Paints one page (from 0) with the painter's origin at the paper's top left corner, in
    // 96-dpi pixels of the paper.
    void paintPage(QPainter& painter, int index) const;

    // Prints the pages first..last (from 0, clamped) onto a device whose painter starts at the
    // paper's corner (no margins of its own). `progress` is told of every page done and stops
    // the print when it answers false. Answers whether every page was printed.
    using Progress = std::function<bool(int done, int count)>;
    bool print(QPagedPaintDevice& device, const Progress& progress = {}, int first = 0,
               int last = -1) const;

    // The steps of print(), for a caller that prints a few pages at a time: the device's paper
    // set to the report's (no margins of its own), then each page on a painter open on it.
    void setUpDevice(QPagedPaintDevice& device) const;
    void printPage(QPainter& painter, const QPaintDevice& device, int index) const;

    static constexpr qreal Dpi = 96.0;
    static constexpr int ReadStep = 2000;   // tokens between looks at the time
    static constexpr int LayoutStep = 4000; // characters laid out between looks at the time

private:
    struct Span {
        qreal top = 0;
        qreal bottom = 0;
        qreal height() const { return bottom - top; }
    };
    // One cut point: a y at which a page may end, and the header rows that a page starting
    // there repeats (empty span when none).
    struct Cut {
        qreal y;
        Span header;
    };
    struct Page {
        Span header;
        Span body;
    };

    QPageLayout layoutFor(const RtfPageProps& page) const;
    QPageLayout layoutFor(QPageLayout layout) const;
    void fitWidth();
    void paginate();
    std::vector<Cut> cuts() const;
    void addTableCuts(class QTextTable* table, std::vector<Cut>& out, Span& repeated) const;
    QRectF bodyRect() const;
    void paintSpan(QPainter& painter, const Span& span, qreal y) const;
    void paintFooter(QPainter& painter, int index) const;

    QLocale m_locale;
    QImage m_metrics; // a 96-dpi device the layout measures fonts on
    std::unique_ptr<QObject> m_timerBlock;
    std::unique_ptr<QTextDocument> m_document;
    std::unique_ptr<RtfReader> m_reader; // while begin()'s read runs
    int m_laidTo = -1;                   // laid out up to here while begin()'s layout runs
    QPageLayout m_pageLayout;
    struct Paper {
        QPageSize size;
        QPageLayout::Orientation orientation;
    };
    std::optional<Paper> m_paper;
    qreal m_scale = 1.0; // content to paper
    std::vector<Page> m_pages;
};
