#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QPainter;
class QPdfWriter;
class QSaveFile;
class ReportDocument;

// Writes a laid-out report as a PDF a few pages at a time from the event loop, so the window
// keeps painting and answering while a long report is written, and tells of the pages done.
// It runs on the window's thread: Qt's text layout and fonts are not to be shared with another
// thread. The file is written under a temporary name and renamed over the chosen one only when
// complete, so a failed or stopped write leaves nothing under that name.
class PdfExportJob : public QObject {
    Q_OBJECT
public:
    explicit PdfExportJob(QObject* parent = nullptr);
    // Stops a running write: nothing is left under the chosen name.
    ~PdfExportJob() override;

    // Starts writing the report, which must stay as it is until the end is told; a job runs
    // one write at a time (a start while running is ignored). A file that cannot be created
    // is told through finished() too, from the event loop.
    void start(const ReportDocument& report, const QString& path, const QString& title);
    // Stops a running write at once; finished() tells of it (written false, no message).
    void cancel();
    bool isRunning() const { return m_report != nullptr; }

    // Time one turn of the event loop spends on pages before it lets the window work.
    static constexpr int SliceMs = 40;

signals:
    // Page by page.
    void progress(int done, int count);
    // `written` false with an empty message: stopped by cancel().
    void finished(bool written, const QString& path, const QString& message);

private:
    void writeSome();
    void end(bool written, const QString& message);

    const ReportDocument* m_report = nullptr;
    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    std::unique_ptr<QPainter> m_painter;
    int m_next = 0;
};
