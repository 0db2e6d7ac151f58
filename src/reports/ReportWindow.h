#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <memory>

class QLabel;
class ReportDocument;
class ReportOutput;
class ReportView;
class SettingsStore;

// The program's own report window: a written report's pages, scrollable and zoomable, with
// Print (Ctrl+P), Print Preview, Save as PDF (Ctrl+Shift+S), Open With... (the desktop's choice
// of program for the RTF file) and Close (Escape). One window serves every page and is reused;
// it is not modal, and its size is kept in the settings (RPW\W, RPW\H).
class ReportWindow : public QMainWindow {
    Q_OBJECT
public:
    // The one window, made on first use beside `owner`'s window.
    static ReportWindow* instance(SettingsStore& settings, QWidget* owner);
    // The window when it has been made, else nullptr.
    static ReportWindow* existing();

    ~ReportWindow() override;

    // Shows the RTF file (a page's written report) and brings the window forward; a long one
    // is laid out with its progress shown, and the window is hidden when the user stops that.
    // `page` names the page for the title and the proposed PDF name ("Personal").
    // ReportFileError when the file cannot be read; the window then keeps what it showed.
    void showReport(const QString& path, const QString& page);

    ReportView* view() const { return m_view; }
    ReportOutput* output() const { return m_output.get(); }
    const ReportDocument& report() const { return *m_report; }
    QString reportFile() const { return m_path; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ReportWindow(SettingsStore& settings, QWidget* owner);
    QAction* addCommand(const QString& name, const QString& text, const QKeySequence& keys);
    void openWith();
    void writeSize();

    SettingsStore& m_settings;
    QString m_path;
    QString m_page;
    std::unique_ptr<ReportDocument> m_report;
    std::unique_ptr<ReportOutput> m_output;
    ReportView* m_view;
    QLabel* m_pages;
    QLabel* m_zoom;
};
