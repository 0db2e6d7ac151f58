#pragma once

#include "directory/DetailSplitter.h"
#include "reports/PageReports.h"

#include <QTimer>
#include <functional>

class QMenu;
class ReportOutput;
class RtfView;
class SettingsStore;

// The lower half of a directory page's centre: the splitter DSP between the result list and the
// detail pane DTP with its rich-text view RE, the timer TIM_BTV that renders the detail 150 ms
// after the last focus move, the page's report table DS, and the splitter settings kept under
// the page's prefix ("PD\DTP", "PD\DTP_M").
class DetailPane : public DetailSplitter {
    Q_OBJECT
public:
    // Fills DS with the detail row of the first selected row (and enables the page's buttons);
    // answers false when no row is selected.
    using DetailFill = std::function<bool(ReportTable&)>;
    using ReportFill = std::function<void(ReportTable&)>;

    DetailPane(const QString& prefix, ReportTable::Layout layout, SettingsStore& settings,
               QWidget* parent = nullptr);

    // Puts the list above the detail pane.
    void setList(QWidget* list);
    void setDetailFill(DetailFill fill) { m_fill = std::move(fill); }

    // The focus moved in the list: render once the moves come to rest.
    void restartTimer() { m_timBtv.start(); }
    // TIM_BTV elapsed: fill DS (when a row is selected), run the detail template, show it.
    // With nothing selected the template runs over DS as the last run left it.
    void TIM_BTVTimer();
    // The page's report: how DS is filled from the selected rows, and the button RTF, whose
    // right click offers "Show in Tessaro Kavelin", "Print..." and "Save as PDF...".
    void setReportSource(ReportFill fill, QWidget* button);
    // Fills DS, writes the report and hands it to the desktop without waiting; when no program
    // here opens RTF files, the report window shows it.
    void showReport();
    // Fills DS, writes the report and shows it in the report window.
    void showReportInWindow();
    void printReport();
    void saveReportAsPdf();

    // The page's name in titles and proposed file names: "Personal", "Business", "PTCL".
    QString pageName() const;
    QMenu* reportMenu() const { return m_reportMenu; }
    ReportOutput* reportOutput() const { return m_reportOutput; }
    ReportOutput* detailOutput() const { return m_detailOutput; }

    void readSettings();
    void writeSettings();

    RtfView* detailView() const { return m_re; }
    QWidget* detailPanel() const { return m_dtp; }
    QTimer& detailTimer() { return m_timBtv; }
    ReportTable& reportTable() { return m_reports.DS(); }

private:
    QString key(const char* name) const;
    QString writeReport();
    void showInWindow(const QString& written);
    void buildMenus();

    QString m_prefix;
    SettingsStore& m_settings;
    PageReports m_reports;
    QTimer m_timBtv; // TIM_BTV
    DetailFill m_fill;
    ReportFill m_reportFill;
    QWidget* m_reportButton = nullptr;
    QWidget* m_dtp;
    RtfView* m_re;
    QMenu* m_reportMenu;
    ReportOutput* m_reportOutput;
    ReportOutput* m_detailOutput;
};
