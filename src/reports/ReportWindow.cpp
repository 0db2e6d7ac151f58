#include "reports/ReportWindow.h"

#include "app/SettingsStore.h"
#include "platform/Shell.h"
#include "reports/ReportDocument.h"
#include "reports/ReportFileError.h"
#include "reports/ReportOutput.h"
#include "reports/ReportView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>

namespace {
QPointer<ReportWindow>& theWindow() {
    static QPointer<ReportWindow> window;
    return window;
}
const QString WidthKey = QStringLiteral("RPW\\W");
const QString HeightKey = QStringLiteral("RPW\\H");
} // namespace

ReportWindow* ReportWindow::instance(SettingsStore& settings, QWidget* owner) {
    if (!theWindow())
        theWindow() = new ReportWindow(settings, owner);
    return theWindow();
}

ReportWindow* ReportWindow::existing() {
    return theWindow();
}

ReportWindow::ReportWindow(SettingsStore& settings, QWidget* owner)
    : QMainWindow(owner ? owner->window() : nullptr, Qt::Window), m_settings(settings),
      m_report(std::make_unique<ReportDocument>()),
      m_output(std::make_unique<ReportOutput>(QString(), QStringLiteral("report"), this)),
      m_view(new ReportView(this)), m_pages(new QLabel(this)), m_zoom(new QLabel(this)) {
    setObjectName(QStringLiteral("RPW"));
    setWindowTitle(QStringLiteral("Report - Tessaro Kavelin"));
    setWindowModality(Qt::NonModal);
    setCentralWidget(m_view);
    resize(std::clamp(settings.ReadNumber(WidthKey, 960), 320, 8192),
           std::clamp(settings.ReadNumber(HeightKey, 720), 240, 8192));

    auto* bar = addToolBar(QStringLiteral("Report"));
    bar->setObjectName(QStringLiteral("RPW_TB"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* print = addCommand(QStringLiteral("Print"), QStringLiteral("Print..."),
                                QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* preview =
        addCommand(QStringLiteral("Preview"), QStringLiteral("Print Preview..."), QKeySequence());
    QAction* pdf = addCommand(QStringLiteral("Pdf"), QStringLiteral("Save as PDF..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction* with =
        addCommand(QStringLiteral("OpenWith"), QStringLiteral("Open With..."), QKeySequence());
    bar->addActions({print, preview, pdf, with});
    bar->addSeparator();
    QAction* out =
        addCommand(QStringLiteral("ZoomOut"), QStringLiteral("Zoom Out"), QKeySequence::ZoomOut);
    QAction* in =
        addCommand(QStringLiteral("ZoomIn"), QStringLiteral("Zoom In"), QKeySequence::ZoomIn);
    bar->addAction(out);
    bar->addWidget(m_zoom);
    bar->addAction(in);
    bar->addSeparator();
    QAction* close =
        addCommand(QStringLiteral("Close"), QStringLiteral("Close"), QKeySequence(Qt::Key_Escape));
    bar->addAction(close);
    statusBar()->addPermanentWidget(m_pages);

    connect(print, &QAction::triggered, m_output.get(), &ReportOutput::print);
    connect(preview, &QAction::triggered, m_output.get(), &ReportOutput::preview);
    connect(pdf, &QAction::triggered, m_output.get(), &ReportOutput::saveAsPdf);
    connect(with, &QAction::triggered, this, &ReportWindow::openWith);
    connect(in, &QAction::triggered, m_view, &ReportView::zoomIn);
    connect(out, &QAction::triggered, m_view, &ReportView::zoomOut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(m_view, &ReportView::zoomChanged, this, [this](qreal zoom) {
        m_zoom->setText(QStringLiteral(" %1% ").arg(qRound(zoom * 100)));
    });
    connect(m_output.get(), &ReportOutput::pdfWritten, this, [this](const QString& path) {
        statusBar()->showMessage(QStringLiteral("Saved %1").arg(path), 10000);
    });
    m_zoom->setText(QStringLiteral(" 100% "));
}

ReportWindow::~ReportWindow() = default;

QAction* ReportWindow::addCommand(const QString& name, const QString& text,
                                  const QKeySequence& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("act") + name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void ReportWindow::showReport(const QString& path, const QString& page) {
    const QByteArray rtf = readReportFile(path);
    // A PDF still being written is of the pages about to be replaced.
    m_output->cancelWriting();
    m_view->setReport(nullptr);
    if (!ReportOutput::layOut(*m_report, rtf, isVisible() ? this : parentWidget())) {
        // Stopped: the window shows no half-laid-out report.
        hide();
        return;
    }
    m_path = path;
    m_page = page;
    m_output->setPage(page);
    m_output->setRtf(rtf);
    m_output->setReport(m_report.get());
    m_view->setReport(m_report.get());
    setWindowTitle(QStringLiteral("%1 report - Tessaro Kavelin").arg(page));
    m_pages->setText(m_report->pageCount() == 1
                         ? QStringLiteral("1 page")
                         : QStringLiteral("%1 pages").arg(m_report->pageCount()));
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void ReportWindow::openWith() {
    Shell::openWith(m_path, [window = QPointer<ReportWindow>(this)] {
        if (!window)
            return;
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tessaro Kavelin"),
                                    QStringLiteral("This desktop offers no choice of program "
                                                   "for opening the report."),
                                    QMessageBox::Ok, window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

void ReportWindow::writeSize() {
    m_settings.WriteNumber(WidthKey, width());
    m_settings.WriteNumber(HeightKey, height());
}

void ReportWindow::closeEvent(QCloseEvent* event) {
    writeSize();
    QMainWindow::closeEvent(event);
}

void ReportWindow::hideEvent(QHideEvent* event) {
    writeSize();
    QMainWindow::hideEvent(event);
}
