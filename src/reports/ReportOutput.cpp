#include "reports/ReportOutput.h"

#include "reports/PdfExportJob.h"
#include "reports/ReportDocument.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <optional>

namespace {
std::optional<QString>& nextFileName() {
    static std::optional<QString> name;
    return name;
}

std::function<bool(QPrinter&)>& nextPrinter() {
    static std::function<bool(QPrinter&)> setUp;
    return setUp;
}
} // namespace

ReportOutput::ReportOutput(const QString& page, const QString& kind, QWidget* parent)
    : QObject(parent), m_page(page), m_kind(kind), m_parent(parent), m_job(new PdfExportJob(this)) {
    connect(m_job, &PdfExportJob::progress, this, &ReportOutput::progress);
    connect(m_job, &PdfExportJob::finished, this, &ReportOutput::written);
}

ReportOutput::~ReportOutput() = default;

void ReportOutput::setNextFileName(const QString& path) {
    nextFileName() = path;
}

void ReportOutput::setNextPrinter(std::function<bool(QPrinter&)> setUp) {
    nextPrinter() = std::move(setUp);
}

// A write still running is of the pages these replace: it is stopped first.
void ReportOutput::setRtf(const QByteArray& rtf) {
    cancelWriting();
    m_rtf = rtf;
    m_own.reset();
    m_otherPaper.reset();
}

void ReportOutput::setReport(const ReportDocument* report) {
    cancelWriting();
    m_shared = report;
}

// The pages to print: the caller's, or the report laid out here with its progress shown;
// nullptr when the user stopped that.
const ReportDocument* ReportOutput::report() {
    if (m_shared)
        return m_shared;
    if (!m_own) {
        auto pages = std::make_unique<ReportDocument>();
        if (!layOut(*pages, m_rtf, m_parent))
            return nullptr;
        m_own = std::move(pages);
    }
    return m_own.get();
}

bool ReportOutput::layOut(ReportDocument& pages, const QByteArray& rtf, QWidget* parent) {
    static bool busy = false;
    if (busy)
        return false; // a click that came in while another report is being laid out
    pages.begin(rtf);
    if (pages.step(StepMs))
        return true;
    busy = true;
    QProgressDialog bar(QStringLiteral("Laying out the report..."), QStringLiteral("Cancel"), 0,
                        1000, parent);
    bar.setObjectName(QStringLiteral("LayoutProgress"));
    bar.setWindowTitle(QStringLiteral("Report"));
    bar.setWindowModality(Qt::ApplicationModal);
    bar.setMinimumDuration(300);
    bar.setAutoClose(false);
    bar.setAutoReset(false);
    bool ready = false;
    while (!ready && !bar.wasCanceled()) {
        bar.setValue(int(pages.progress() * 1000));
        QCoreApplication::processEvents();
        ready = !bar.wasCanceled() && pages.step(StepMs);
    }
    busy = false;
    if (!ready)
        pages.setRtf(QByteArray());
    return ready;
}

// The pages for the printer's paper: the report's own, or, when a dialog chose another size or
// orientation, the report laid out again on that paper (kept while the paper stays).
const ReportDocument& ReportOutput::pagesFor(const ReportDocument& pages, const QPrinter& printer) {
    const QPageLayout chosen = printer.pageLayout();
    const QPageLayout own = pages.pageLayout();
    if (chosen.pageSize().isEquivalentTo(own.pageSize()) &&
        chosen.orientation() == own.orientation())
        return pages;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_otherPaper) {
        m_otherPaper = std::make_unique<ReportDocument>();
        m_otherPaper->setPaper(chosen.pageSize(), chosen.orientation());
        m_otherPaper->setRtf(m_rtf);
    } else {
        m_otherPaper->setPaper(chosen.pageSize(), chosen.orientation());
    }
    QApplication::restoreOverrideCursor();
    return *m_otherPaper;
}

QString ReportOutput::proposedFileName(const QDate& date) const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(
        QStringLiteral("%1 %2 %3.pdf").arg(m_page, m_kind, date.toString(Qt::ISODate)));
}

void ReportOutput::print() {
    const ReportDocument* laidOut = report();
    if (!laidOut)
        return;
    const ReportDocument& pages = *laidOut;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(pages.pageLayout());
    printer.setDocName(QStringLiteral("%1 %2").arg(m_page, m_kind));
    printer.setFromTo(1, pages.pageCount());
    if (auto setUp = std::exchange(nextPrinter(), {})) {
        if (!setUp(printer))
            return;
    } else {
        QPrintDialog dialog(&printer, m_parent);
        dialog.setMinMax(1, pages.pageCount());
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    const int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int last = printer.toPage() > 0 ? printer.toPage() - 1 : -1;
    const ReportDocument& printed = pagesFor(pages, printer);
    QProgressDialog shown(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0,
                          printed.pageCount(), m_parent);
    shown.setWindowModality(Qt::WindowModal);
    shown.setMinimumDuration(500);
    const bool done = printed.print(
        printer,
        [&](int page, int count) {
            shown.setMaximum(count);
            shown.setValue(page);
            QApplication::processEvents();
            return !shown.wasCanceled();
        },
        first, last);
    if (!done && !shown.wasCanceled())
        showError(QStringLiteral("The report could not be printed."));
}

void ReportOutput::preview() {
    const ReportDocument* laidOut = report();
    if (!laidOut)
        return;
    const ReportDocument& pages = *laidOut;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(pages.pageLayout());
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setObjectName(QStringLiteral("PreviewDialog"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    // A change of orientation or paper in the preview lays the pages out again for it.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [this, &pages](QPrinter* target) { pagesFor(pages, *target).print(*target); });
    dialog.resize(m_parent ? m_parent->window()->size() : QSize(900, 700));
    dialog.exec();
}

QString ReportOutput::askFileName() {
    if (auto name = std::exchange(nextFileName(), std::nullopt))
        return *name;
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save as PDF"), proposedFileName(),
                                        QStringLiteral("PDF files (*.pdf)"));
}

void ReportOutput::saveAsPdf() {
    if (m_job->isRunning())
        return;
    QString path = askFileName();
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    // The window's pages are laid out already; a report saved from a page's menu is laid out
    // here, once, and printed from those pages.
    const ReportDocument* pages = report();
    if (!pages)
        return;
    m_progress = new QProgressDialog(QStringLiteral("Writing the PDF..."), QStringLiteral("Cancel"),
                                     0, pages->pageCount(), m_parent);
    m_progress->setObjectName(QStringLiteral("PdfProgress"));
    m_progress->setWindowTitle(QStringLiteral("Save as PDF"));
    m_progress->setMinimumDuration(400);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    connect(m_progress, &QProgressDialog::canceled, m_job, &PdfExportJob::cancel);
    connect(m_job, &PdfExportJob::progress, m_progress, [bar = m_progress](int done, int count) {
        bar->setMaximum(count);
        bar->setValue(done);
        if (count > 0)
            bar->setLabelText(QStringLiteral("Writing page %1 of %2...").arg(done).arg(count));
    });
    m_job->start(*pages, path, QStringLiteral("%1 %2").arg(m_page, m_kind));
}

bool ReportOutput::isWriting() const {
    return m_job->isRunning();
}

void ReportOutput::cancelWriting() {
    m_job->cancel();
}

void ReportOutput::written(bool ok, const QString& path, const QString& message) {
    if (m_progress) {
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    if (ok) {
        emit pdfWritten(path);
    } else if (!message.isEmpty()) {
        showError(QStringLiteral("The PDF could not be written.\n%1").arg(message));
        emit pdfFailed(message);
    }
}

// Told without stopping the program: the box is modal to its window only and not waited for.
void ReportOutput::showError(const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tessaro Kavelin"), message,
                                QMessageBox::Ok, m_parent);
    box->setObjectName(QStringLiteral("ReportError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
