#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>

class QThread;

// Writes a report's PDF on a thread of its own, so the window keeps painting while a long
// report is laid out and written; tells of the pages done and of the end.
class PdfExportJob : public QObject {
    Q_OBJECT
public:
    explicit PdfExportJob(QObject* parent = nullptr);
    // Stops a running write and waits for its thread: nothing is left under the chosen name.
    ~PdfExportJob() override;

    // Starts writing; a job runs one write at a time (a start while running is ignored).
    void start(const QByteArray& rtf, const QString& path, const QString& title);
    void cancel() { m_cancel = true; }
    bool isRunning() const { return m_thread != nullptr; }
    // Waits until the running write has ended and its end has been told (for a command line).
    void waitForEnd();

signals:
    // 0 of 0 while the report is laid out, then page by page.
    void progress(int done, int count);
    // `written` false with an empty message: stopped by cancel().
    void finished(bool written, const QString& path, const QString& message);

private:
    void ended(bool written, const QString& path, const QString& message);

    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
};
