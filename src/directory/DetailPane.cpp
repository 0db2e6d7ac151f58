#include "directory/DetailPane.h"

#include "app/SettingsStore.h"
#include "app/WaitCursor.h"
#include "platform/Shell.h"
#include "reports/ReportFileError.h"
#include "reports/ReportOutput.h"
#include "reports/ReportWindow.h"
#include "reports/RtfView.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>

DetailPane::DetailPane(const QString& prefix, ReportTable::Layout layout, SettingsStore& settings,
                       QWidget* parent)
    : DetailSplitter(parent), m_prefix(prefix), m_settings(settings), m_reports(prefix, layout),
      m_dtp(new QWidget(this)), m_re(new RtfView(m_dtp)), m_reportMenu(new QMenu(this)),
      m_reportOutput(new ReportOutput(pageName(), QStringLiteral("report"), this)),
      m_detailOutput(new ReportOutput(pageName(), QStringLiteral("detail"), this)) {
    setObjectName(QStringLiteral("DSP"));
    m_dtp->setObjectName(QStringLiteral("DTP"));
    m_re->setObjectName(QStringLiteral("RE"));
    auto* v = new QVBoxLayout(m_dtp);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(m_re);
    addWidget(m_dtp);

    m_timBtv.setObjectName(QStringLiteral("TIM_BTV"));
    m_timBtv.setInterval(150);
    m_timBtv.setSingleShot(true);
    connect(&m_timBtv, &QTimer::timeout, this, &DetailPane::TIM_BTVTimer);
    connect(this, &DetailSplitter::restored, this, [this] {
        if (detailHeight() > 10)
            m_settings.WriteNumber(key("DTP"), detailHeight());
    });
    buildMenus();
}

QString DetailPane::pageName() const {
    if (m_prefix == QLatin1String("PD"))
        return QStringLiteral("Personal");
    if (m_prefix == QLatin1String("BD"))
        return QStringLiteral("Business");
    if (m_prefix == QLatin1String("FD"))
        return QStringLiteral("PTCL");
    return m_prefix;
}

// The report button's menu, and the detail view's entries for the sheet as shown.
void DetailPane::buildMenus() {
    m_reportMenu->setObjectName(QStringLiteral("RTF_MNU"));
    connect(m_reportMenu->addAction(QStringLiteral("Show in Tessaro Kavelin")), &QAction::triggered,
            this, &DetailPane::showReportInWindow);
    connect(m_reportMenu->addAction(QStringLiteral("Print...")), &QAction::triggered, this,
            &DetailPane::printReport);
    connect(m_reportMenu->addAction(QStringLiteral("Save as PDF...")), &QAction::triggered, this,
            &DetailPane::saveReportAsPdf);

    auto* print = new QAction(QStringLiteral("Print..."), this);
    auto* pdf = new QAction(QStringLiteral("Save as PDF..."), this);
    connect(print, &QAction::triggered, this, [this] {
        m_detailOutput->setRtf(m_re->rtf());
        m_detailOutput->print();
    });
    connect(pdf, &QAction::triggered, this, [this] {
        m_detailOutput->setRtf(m_re->rtf());
        m_detailOutput->saveAsPdf();
    });
    m_re->setMenuActions({print, pdf});
}

void DetailPane::setReportSource(ReportFill fill, QWidget* button) {
    m_reportFill = std::move(fill);
    m_reportButton = button;
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QWidget::customContextMenuRequested, m_reportMenu,
            [this, button](QPoint at) { m_reportMenu->popup(button->mapToGlobal(at)); });
}

QString DetailPane::key(const char* name) const {
    return m_prefix + u'\\' + QString::fromLatin1(name);
}

void DetailPane::setList(QWidget* list) {
    insertWidget(0, list);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
}

void DetailPane::TIM_BTVTimer() {
    m_timBtv.stop();
    if (m_fill)
        m_fill(m_reports.DS());
    m_re->loadFile(m_reports.writeDetail());
}

QString DetailPane::writeReport() {
    WaitCursor wait;
    if (m_reportFill)
        m_reportFill(m_reports.DS());
    return QFileInfo(m_reports.writeReport()).absoluteFilePath();
}

void DetailPane::showReport() {
    const QString written = writeReport();
    Shell::openFile(written, [pane = QPointer<DetailPane>(this), written] {
        if (pane)
            pane->showInWindow(written);
    });
}

void DetailPane::showReportInWindow() {
    showInWindow(writeReport());
}

void DetailPane::showInWindow(const QString& written) {
    ReportWindow::instance(m_settings, this)->showReport(written, pageName());
}

void DetailPane::printReport() {
    m_reportOutput->setRtf(readReportFile(writeReport()));
    m_reportOutput->print();
}

void DetailPane::saveReportAsPdf() {
    m_reportOutput->setRtf(readReportFile(writeReport()));
    m_reportOutput->saveAsPdf();
}

void DetailPane::readSettings() {
    setDetailHeight(m_settings.ReadNumber(key("DTP"), 152));
    setMaximised(m_settings.ReadFlag(key("DTP_M"), false));
}

void DetailPane::writeSettings() {
    m_settings.WriteFlag(key("DTP_M"), isMaximised());
    if (detailHeight() > 10)
        m_settings.WriteNumber(key("DTP"), detailHeight());
}
