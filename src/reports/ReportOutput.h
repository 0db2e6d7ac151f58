#pragma once

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class PdfExportJob;
class QPrinter;
class QProgressDialog;
class QWidget;
class ReportDocument;

// Print, print preview and Save as PDF for one report or detail sheet given as RTF: the system
// print dialog, Qt's preview, and a save dialog proposing "<page> report <date>.pdf" in the
// user's documents folder, the PDF written a few pages at a time with its progress shown.
// Dialogs go through seams (setNextFileName, setNextPrinter) so tests never block.
class ReportOutput : public QObject {
    Q_OBJECT
public:
    // `page` names the page ("Personal"), `kind` the document ("report", "detail").
    ReportOutput(const QString& page, const QString& kind, QWidget* parent);
    ~ReportOutput() override;

    void setPage(const QString& page) { m_page = page; }
    // The document to print; the laid-out pages are made when first needed. Either call stops
    // a PDF still being written.
    void setRtf(const QByteArray& rtf);
    // Prints, previews and saves pages the caller has laid out already (the report window's);
    // they stay the caller's, unchanged while a PDF is written.
    void setReport(const ReportDocument* report);

    void print();
    void preview();
    void saveAsPdf();
    bool isWriting() const;
    void cancelWriting();

    // "<page> <kind> <yyyy-MM-dd>.pdf" in the documents folder.
    QString proposedFileName(const QDate& date = QDate::currentDate()) const;

    // Seams: the next save dialog answers this name (empty: cancelled) without showing; the
    // next print dialog is replaced by the function (set up the printer, answer whether to
    // print). Each is used once.
    static void setNextFileName(const QString& path);

    // Lays the RTF out into `pages` a part at a time, a progress dialog with Cancel over
    // `parent` once it takes long, the program's windows painting meanwhile. False when the
    // user stopped it (the pages are then empty) or another report is being laid out.
    static bool layOut(ReportDocument& pages, const QByteArray& rtf, QWidget* parent);
    static constexpr int StepMs = 40;
    static void setNextPrinter(std::function<bool(QPrinter&)> setUp);

signals:
    // A PDF was written (path) or could not be (message shown to the user too).
    void pdfWritten(const QString& path);
    void pdfFailed(const QString& message);
    void progress(int done, int count);

private:
    const ReportDocument* report();
    const ReportDocument& pagesFor(const ReportDocument& pages, const QPrinter& printer);
    QString askFileName();
    void written(bool ok, const QString& path, const QString& message);
    void showError(const QString& message);

    QString m_page;
    QString m_kind;
    QWidget* m_parent;
    QByteArray m_rtf;
    const ReportDocument* m_shared = nullptr;
    std::unique_ptr<ReportDocument> m_own;
    std::unique_ptr<ReportDocument> m_otherPaper;
    PdfExportJob* m_job;
    QProgressDialog* m_progress = nullptr;
};
