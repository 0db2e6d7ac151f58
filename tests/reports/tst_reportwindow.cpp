// The program's own report window, print and PDF, driven from the personal page as the user
// does: View Report on a desktop without an RTF program, the window's keys, the report button's
// and the detail pane's menus; the PDFs read back with poppler's tools.
#include "PageTestBase.h"
#include "SampleRows.h"
#include "app/SettingsStore.h"
#include "app/TkApplication.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/DetailPane.h"
#include "personal/ContactListView.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "reports/ReportDocument.h"
#include "reports/ReportOutput.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportView.h"
#include "reports/ReportWindow.h"
#include "reports/ReportWriter.h"
#include "reports/RtfView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {
// Runs one of poppler's tools and answers what it printed.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(tool, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString& pdf, int page = 0) {
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    return poppler("pdftotext", args << pdf << "-");
}

// The paper of the PDF's first page in points, as pdfinfo gives it.
QSizeF pdfPaper(const QString& pdf) {
    const QRegularExpressionMatch m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")
                                          .match(poppler("pdfinfo", {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// The rows of the report ("Company N") found in the whole PDF.
QSet<int> pdfRows(const QString& pdf) {
    QSet<int> rows;
    const QRegularExpression row("Company (\\d+) ");
    for (auto it = row.globalMatch(pdfText(pdf)); it.hasNext();)
        rows.insert(it.next().captured(1).toInt());
    return rows;
}

int pdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression("Pages:\\s+(\\d+)").match(poppler("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The fonts pdffonts lists, each with whether it is embedded.
QMap<QString, bool> pdfFonts(const QString& pdf) {
    QMap<QString, bool> fonts;
    const QStringList lines = poppler("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(2)) {
        const QStringList cells = line.simplified().split(' ');
        // name type [encoding] emb sub uni object ID
        if (cells.size() >= 7)
            fonts.insert(cells.first(), cells[cells.size() - 5] == "yes");
    }
    return fonts;
}
} // namespace

class ReportWindowTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* page = nullptr;
    QList<QUrl> opened;
    QTemporaryDir out;

    void showPage() {
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        QVERIFY(showInArea(page));
    }
    // The desktop of a machine without an office suite: its opener finds no program for RTF.
    void noRtfProgram() {
        Shell::setObserver(nullptr);
        Shell::setOpener(QStringLiteral("false"));
    }
    void selectAll() {
        QVERIFY(
            QTest::qWaitFor([this] { return page->actionButton(ActionStrip::RTF)->isEnabled(); }));
        page->contactList()->setFocus();
        QTest::keyClick(page->contactList(), Qt::Key_A, Qt::ControlModifier);
    }
    // The report window once it is shown and has the keyboard.
    static ReportWindow* activeWindow() {
        ReportWindow* window = ReportWindow::existing();
        if (!window || !QTest::qWaitForWindowExposed(window))
            return nullptr;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window) ? window : nullptr;
    }
    ReportWindow* clickViewReport() {
        QTest::mouseClick(page->actionButton(ActionStrip::RTF), Qt::LeftButton);
        if (!QTest::qWaitFor(
                [] { return ReportWindow::existing() && ReportWindow::existing()->isVisible(); }))
            return nullptr;
        return activeWindow();
    }
    // The window showing a report written from generated rows.
    ReportWindow* showRows(int rows) {
        ReportWindow::instance(*settings, page)->showReport(writeReport(rows), "Personal");
        return activeWindow();
    }
    // Saves as PDF with the window's keys and waits for the file.
    bool saveWithKeys(ReportWindow* window, const QString& pdf) {
        QSignalSpy written(window->output(), &ReportOutput::pdfWritten);
        ReportOutput::setNextFileName(pdf);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        return written.wait(60000) && written.first().first().toString() == pdf;
    }
    void addThreeContacts() {
        f->addContact(1, "Crescent Textile Mills",
                      {{"PHN", "042-35112233"}, {"ADR", "45-B Industrial Estate, Lahore"}});
        f->addContact(1, "Dr. Sana Qureshi", {{"PHN", "051-2654321"}, {"PNAM", "Bilal"}});
        f->addContact(1, QString::fromUtf8("کراچی کتب خانہ"),
                      {{"PHN", "021-99887766"}, {"ADR", QString::fromUtf8("صدر، کراچی")}});
    }
    // A report written from the personal template over generated rows.
    QString writeReport(int rows) {
        ReportTable ds(ReportTable::Layout::Contact);
        ReportRows::fillContactReport(ds, SampleRows::contacts(rows));
        const QString path = out.filePath(QStringLiteral("rows-%1.rtf").arg(rows));
        ReportWriter::writeAndBlank(ds, f->root() + "/templates/PD_RP.TEMPLATE.RTF", path);
        return path;
    }

private slots:
    void init() {
        QVERIFY(setUpPage());
        opened.clear();
        Shell::setObserver([this](const QUrl& url) { opened << url; });
    }
    void cleanup() {
        Shell::setOpener({});
        delete ReportWindow::existing();
        page = nullptr;
        tearDownPage();
    }

    // Three rows, English and Urdu: the window shows them, Ctrl+Shift+S writes a PDF whose text
    // holds every row and the count, with every font embedded; the window's size is kept.
    void threeRowsSavedAsPdf() {
        addThreeContacts();
        showPage();
        noRtfProgram();
        selectAll();
        ReportWindow* window = clickViewReport();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Personal report - Tessaro Kavelin"));
        QVERIFY(!window->isModal());
        QCOMPARE(window->report().pageCount(), 1);
        QCOMPARE(QFileInfo(window->reportFile()).canonicalFilePath(),
                 QFileInfo(f->root() + "/reports/PD_RP.RTF").canonicalFilePath());
        // The proposed name is the page's, dated, in the documents folder.
        QVERIFY2(window->output()
                     ->proposedFileName(QDate(2026, 12, 10))
                     .endsWith("/Personal report 2026-12-10.pdf"),
                 qPrintable(window->output()->proposedFileName()));

        const QString pdf = out.filePath("three.pdf");
        QVERIFY(saveWithKeys(window, pdf));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains("Crescent Textile Mills"), qPrintable(text));
        QVERIFY2(text.contains("Dr. Sana Qureshi"), qPrintable(text));
        QVERIFY2(text.contains("042-35112233"), qPrintable(text));
        QVERIFY2(text.contains("Entries listed: 3"), qPrintable(text));
        QVERIFY2(text.contains("Page 1 of 1"), qPrintable(text));
        // The Urdu title comes back as its letters (in whichever order the tool puts them).
        // pdftotext gives Arabic letters in their shaped (presentation) forms.
        const QString letters = text.normalized(QString::NormalizationForm_KC);
        const QString urdu = QString::fromUtf8("کتب");
        QString reversed = urdu;
        std::reverse(reversed.begin(), reversed.end());
        QVERIFY2(letters.contains(urdu) || letters.contains(reversed), qPrintable(text));
        const QMap<QString, bool> fonts = pdfFonts(pdf);
        QVERIFY2(!fonts.isEmpty(), qPrintable(poppler("pdffonts", {pdf})));
        for (auto it = fonts.cbegin(); it != fonts.cend(); ++it)
            QVERIFY2(it.value(), qPrintable(it.key() + " is not embedded"));
        QVERIFY2(!QDir(out.path())
                      .entryList({"three.pdf.*", ".three.pdf*"}, QDir::Files | QDir::Hidden)
                      .size(),
                 "temporary file left");

        // Escape closes; the size is kept and used again by the next window.
        window->resize(700, 500);
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(settings->ReadNumber("RPW\\W", 0), 700);
        QCOMPARE(settings->ReadNumber("RPW\\H", 0), 500);
        delete window;
        ReportWindow* again = clickViewReport();
        QVERIFY(again);
        QCOMPARE(again->size(), QSize(700, 500));
        // One window, reused.
        QTest::mouseClick(page->actionButton(ActionStrip::RTF), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(ReportWindow::existing(), again);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return qobject_cast<ReportWindow*>(w); }),
                 1);
    }

    // 1,000 rows: the PDF has as many pages as the window lays out, every row on exactly one
    // page and whole (its number and title together), the header row and the page number on
    // every page; zooming keeps the view on its place.
    void thousandRowsOnWholePages() {
        showPage();
        ReportWindow* window = showRows(1000);
        QVERIFY(window);
        const int pages = window->report().pageCount();
        QVERIFY2(pages > 10 && pages < 200, qPrintable(QString::number(pages)));
        const qreal zoom = window->view()->zoom();
        QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY(window->view()->zoom() > zoom);
        QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(window->view()->zoom(), zoom);

        const QString pdf = out.filePath("thousand.pdf");
        QVERIFY(saveWithKeys(window, pdf));
        QCOMPARE(pdfPages(pdf), pages);
        QSet<int> seen;
        for (int p = 1; p <= pages; ++p) {
            const QString text = pdfText(pdf, p);
            QVERIFY2(text.contains("Title / Contact person"), qPrintable(QString::number(p)));
            QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages)),
                     qPrintable(text));
            // Each row's title follows its number on the same page.
            const QRegularExpression row("Company (\\d+) ");
            for (auto it = row.globalMatch(text); it.hasNext();) {
                const int n = it.next().captured(1).toInt();
                QVERIFY2(!seen.contains(n), qPrintable(QStringLiteral("row %1 twice").arg(n)));
                seen.insert(n);
            }
        }
        QCOMPARE(seen.size(), 1000);
        QVERIFY(pdfText(pdf, pages).contains("Entries listed: 1000"));
    }

    // The print path: Ctrl+P through a PDF printer, all pages or a range from the dialog.
    void printsThroughPdfPrinter() {
        showPage();
        ReportWindow* window = showRows(200);
        QVERIFY(window);
        const int pages = window->report().pageCount();
        QVERIFY(pages >= 3);
        const QString all = out.filePath("printed.pdf");
        ReportOutput::setNextPrinter([all](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(all);
            return true;
        });
        QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(pdfPages(all), pages);
        QVERIFY(pdfText(all, 1).contains("Company 1 "));

        const QString range = out.filePath("range.pdf");
        ReportOutput::setNextPrinter([range](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(range);
            printer.setFromTo(2, 3);
            return true;
        });
        window->findChild<QAction*>("actPrint")->trigger();
        QCOMPARE(pdfPages(range), 2);
        QVERIFY(pdfText(range, 1).contains(QStringLiteral("Page 2 of %1").arg(pages)));
    }

    // A long report is laid out a part at a time: the program keeps working (a timer keeps
    // ticking), the progress shows, and Cancel leaves the window hidden; the next View Report
    // shows it whole.
    void longLayoutShowsProgressAndStops() {
        showPage();
        const QString rtf = writeReport(3000);
        ReportWindow* window = ReportWindow::instance(*settings, page);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(20);
        int progressShown = -1;
        QTimer::singleShot(0, this, [&] {
            QProgressDialog* bar = nullptr;
            const bool shown = QTest::qWaitFor(
                [&] {
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (w->objectName() == "LayoutProgress" && w->isVisible())
                            bar = qobject_cast<QProgressDialog*>(w);
                    return bar && bar->value() > 0;
                },
                60000);
            if (!shown)
                return;
            progressShown = bar->value();
            QTest::mouseClick(bar->findChild<QPushButton*>(), Qt::LeftButton);
        });
        window->showReport(rtf, "Personal");
        QVERIFY2(progressShown > 0, "no progress shown");
        QVERIFY2(ticks > 5, qPrintable(QString::number(ticks)));
        QVERIFY(!window->isVisible());
        ticker.stop();

        window->showReport(rtf, "Personal");
        QVERIFY(window->isVisible());
        QVERIFY(window->report().pageCount() > 100);
    }

    // Print Preview through the window's command shows the window's pages; turning the paper
    // in the preview lays the report out again on it.
    void printPreviewShowsThePages() {
        showPage();
        ReportWindow* window = showRows(200);
        QVERIFY(window);
        const int pages = window->report().pageCount();
        QVERIFY(pages >= 3);
        int shown = -1;
        int portrait = -1;
        QTimer::singleShot(0, window, [&] {
            QPrintPreviewDialog* dialog = nullptr;
            const bool open = QTest::qWaitFor([&] {
                dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
                return dialog != nullptr;
            });
            if (!open)
                return;
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            if (preview && QTest::qWaitFor([&] { return preview->pageCount() > 0; })) {
                shown = preview->pageCount();
                preview->setPortraitOrientation();
                if (QTest::qWaitFor([&] { return preview->pageCount() != shown; }, 30000))
                    portrait = preview->pageCount();
            }
            dialog->reject();
        });
        window->findChild<QAction*>("actPreview")->trigger();
        QCOMPARE(shown, pages);
        ReportDocument upright;
        upright.setPaper(window->report().pageLayout().pageSize(), QPageLayout::Portrait);
        upright.load(window->reportFile());
        QVERIFY(upright.pageCount() != pages);
        QCOMPARE(portrait, upright.pageCount());
        // The window keeps its own pages.
        QCOMPARE(window->report().pageCount(), pages);
    }

    // Paper chosen in the print dialog (Letter, portrait, for a landscape A4 report): the printed
    // pages are laid out for it, every row still printed once and whole.
    void printerPaperLaysThePagesOutAgain() {
        showPage();
        ReportWindow* window = showRows(200);
        QVERIFY(window);
        const int pages = window->report().pageCount();
        const QString pdf = out.filePath("letter.pdf");
        ReportOutput::setNextPrinter([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::Letter));
            printer.setPageOrientation(QPageLayout::Portrait);
            return true;
        });
        QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
        const QSizeF paper = pdfPaper(pdf);
        QVERIFY2(qAbs(paper.width() - 612) < 1 && qAbs(paper.height() - 792) < 1,
                 qPrintable(poppler("pdfinfo", {pdf})));
        const int printed = pdfPages(pdf);
        ReportDocument letter;
        letter.setPaper(QPageSize(QPageSize::Letter), QPageLayout::Portrait);
        letter.load(window->reportFile());
        QVERIFY(letter.pageCount() != pages);
        QCOMPARE(printed, letter.pageCount());
        QCOMPARE(pdfRows(pdf).size(), 200);
        QVERIFY(pdfText(pdf, printed).contains(QStringLiteral("Page %1 of %1").arg(printed)));
        QVERIFY(pdfText(pdf, printed).contains("Entries listed: 200"));
        QCOMPARE(window->report().pageCount(), pages);
    }

    // A write that cannot be done says so and leaves nothing; a stopped one leaves nothing
    // under the chosen name either.
    void failedAndStoppedWritesLeaveNoFile() {
        showPage();
        ReportWindow* window = showRows(3);
        QVERIFY(window);
        QSignalSpy failed(window->output(), &ReportOutput::pdfFailed);
        ReportOutput::setNextFileName(out.filePath("no-such-folder/x.pdf"));
        window->findChild<QAction*>("actPdf")->trigger();
        QVERIFY(failed.wait(30000));
        QVERIFY2(failed.first().first().toString().contains("no-such-folder/x.pdf"),
                 qPrintable(failed.first().first().toString()));
        QTRY_VERIFY(window->findChild<QMessageBox*>("ReportError"));
        auto* box = window->findChild<QMessageBox*>("ReportError");
        QVERIFY(box->text().startsWith("The PDF could not be written."));
        box->close();
        QVERIFY(!QFileInfo::exists(out.filePath("no-such-folder")));

        window->showReport(writeReport(2000), "Personal");
        const QString pdf = out.filePath("stopped.pdf");
        // A PDF of that name from before is kept as it was.
        QFile older(pdf);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older PDF");
        older.close();
        QSignalSpy progress(window->output(), &ReportOutput::progress);
        QSignalSpy written(window->output(), &ReportOutput::pdfWritten);
        ReportOutput::setNextFileName(pdf);
        window->findChild<QAction*>("actPdf")->trigger();
        QVERIFY(window->output()->isWriting());
        // The window keeps painting while the pages are written.
        QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 2, 60000);
        window->view()->viewport()->repaint();
        window->output()->cancelWriting();
        QTRY_VERIFY_WITH_TIMEOUT(!window->output()->isWriting(), 60000);
        QCOMPARE(written.count(), 0);
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older PDF"));
        older.close();
        QCOMPARE(QDir(out.path()).entryList({"stopped*"}, QDir::Files | QDir::Hidden),
                 QStringList{"stopped.pdf"});
    }

    // A disk that fills up while the PDF is written: the user is told, and neither the PDF
    // nor a part of it stays on the disk.
    void aFullDiskSaysSoAndLeavesNoFile() {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        QTemporaryDir mountPoint;
        if (QProcess::execute("mount",
                              {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint.path()}) != 0)
            QSKIP("no tmpfs mount here");
        auto unmount = qScopeGuard([&] { QProcess::execute("umount", {"-l", mountPoint.path()}); });
        showPage();
        ReportWindow* window = showRows(400);
        QVERIFY(window);
        QSignalSpy failed(window->output(), &ReportOutput::pdfFailed);
        QSignalSpy written(window->output(), &ReportOutput::pdfWritten);
        ReportOutput::setNextFileName(mountPoint.filePath("full.pdf"));
        window->findChild<QAction*>("actPdf")->trigger();
        QVERIFY(failed.wait(60000));
        QCOMPARE(written.count(), 0);
        QTRY_VERIFY(window->findChild<QMessageBox*>("ReportError"));
        auto* box = window->findChild<QMessageBox*>("ReportError");
        QVERIFY(box->text().startsWith("The PDF could not be written."));
        box->close();
        QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // With a desktop program for RTF, View Report hands the file on; a right click on the
    // button offers the window, Print... and Save as PDF... of the rows selected now.
    void reportButtonMenuWithDesktopProgram() {
        addThreeContacts();
        showPage();
        selectAll();
        QTest::mouseClick(page->actionButton(ActionStrip::RTF), Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
        QVERIFY(!ReportWindow::existing());

        ActionButton* button = page->actionButton(ActionStrip::RTF);
        const QPoint at = button->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, button->mapToGlobal(at));
        QApplication::sendEvent(button, &request);
        auto* menu = page->findChild<QMenu*>("RTF_MNU");
        QTRY_VERIFY(menu && menu->isVisible());
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << a->text();
        QCOMPARE(entries, QStringList({"Show in Tessaro Kavelin", "Print...", "Save as PDF..."}));

        const QString pdf = out.filePath("menu.pdf");
        ReportOutput::setNextFileName(pdf);
        QSignalSpy written(page->findChild<DetailPane*>()->reportOutput(),
                           &ReportOutput::pdfWritten);
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions()[2]).center());
        QVERIFY(written.wait(30000));
        QVERIFY(pdfText(pdf).contains("Entries listed: 3"));

        menu->actions()[0]->trigger();
        QTRY_VERIFY(ReportWindow::existing() && ReportWindow::existing()->isVisible());
        QCOMPARE(opened.size(), 1); // nothing more handed to the desktop
    }

    // The detail pane's menu prints and saves the sheet as shown.
    void detailSheetSavedAsPdf() {
        addThreeContacts();
        showPage();
        QTRY_VERIFY(page->detailView()->toPlainText().contains("Crescent Textile Mills"));
        RtfView* re = page->detailView();
        const QPoint at(20, 20);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, re->viewport()->mapToGlobal(at));
        QApplication::sendEvent(re->viewport(), &request);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QAction* save = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == "Save as PDF...")
                save = a;
        QVERIFY(save);
        const QList<QAction*> entries = menu->actions();
        QCOMPARE(std::count_if(entries.begin(), entries.end(),
                               [](QAction* a) { return a->text() == "Print..."; }),
                 1);
        const QString pdf = out.filePath("detail.pdf");
        ReportOutput::setNextFileName(pdf);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(save).center());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(pdf), 30000);
        QTRY_VERIFY(pdfText(pdf).contains("Crescent Textile Mills"));
        QVERIFY(pdfText(pdf).contains("042-35112233"));
        QVERIFY(!pdfText(pdf).contains("Qureshi"));
    }

    // What the reader cannot draw is left out: unknown words, nested tables, pictures; an empty
    // report still prints its header and its count.
    void badTemplatesAndEmptyReport() {
        f->addContact(1, "Only");
        showPage();
        noRtfProgram();
        selectAll();
        page->contactList()->clearSelection();
        ReportWindow* window = clickViewReport();
        QVERIFY(window);
        const QString empty = out.filePath("empty.pdf");
        QVERIFY(saveWithKeys(window, empty));
        const QString text = pdfText(empty);
        QVERIFY2(text.contains("Personal Directory") && text.contains("Entries listed: 0"),
                 qPrintable(text));
        QVERIFY(text.contains("No."));

        const QString odd = out.filePath("odd.rtf");
        QFile file(odd);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1\\ansi\\margl-5\\margr99999999\\frobnicate42 Before"
                   "{\\*\\unknowngroup hidden}{\\pict\\pngblip 89504e47}"
                   "\\trowd\\trhdr\\cellx2000\\cellx4000\\intbl Outer\\cell "
                   "{\\itap2 Inner\\nestcell\\nestrow}\\cell\\row"
                   "\\trowd\\cellx999999999\\intbl Wide\\cell\\row"
                   "\\pard After\\par{{{{{{{{{{ deep");
        file.close();
        window->showReport(odd, "Personal");
        QVERIFY(window->report().pageCount() >= 1);
        const QString oddPdf = out.filePath("odd.pdf");
        QVERIFY(saveWithKeys(window, oddPdf));
        const QString oddText = pdfText(oddPdf);
        QVERIFY2(oddText.contains("Before") && oddText.contains("Outer") &&
                     oddText.contains("After"),
                 qPrintable(oddText));
        QVERIFY(!oddText.contains("hidden") && !oddText.contains("89504e47"));
    }
};

// The program's application object, so faults leaving event handlers reach its error display.
int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    ReportWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_reportwindow.moc"
