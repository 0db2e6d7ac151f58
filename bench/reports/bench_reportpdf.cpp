// Benchmark of the printable report as a PDF: the personal page with 10,000 contacts, all
// selected, from the click on "Save as PDF..." of the report button's menu to the PDF closed,
// beside writing the RTF alone (View Report's own work) and the report window's showing of the
// same report; pages per second. Prints medians and ranges.
#include "PersonalFixture.h"
#include "SampleRows.h"
#include "app/SettingsStore.h"
#include "directory/DetailPane.h"
#include "personal/ContactListView.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "reports/ReportDocument.h"
#include "reports/ReportOutput.h"
#include "reports/ReportWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Stats {
    double median, low, high;
};

Stats measure(int runs, const std::function<double()>& body) {
    std::vector<double> v;
    for (int i = 0; i < runs; ++i)
        v.push_back(body());
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

double timed(const std::function<void()>& body) {
    QElapsedTimer t;
    t.start();
    body();
    return t.nsecsElapsed() / 1e6;
}

void fill(PersonalFixture& f, int count) {
    for (const ContactRow& r : SampleRows::contacts(count)) {
        f.db().MM.ExecStatement(
            QStringLiteral("INSERT INTO CONT (CD, CTCD, CNAM, PNAM, PDSG, ADR, ZCD, PHN, MOB, FAX, "
                           "UAN, EML, WEB, BTP, BDS) VALUES (GEN_ID(GEN_CONT, 1), 1, %1, %2, %3, "
                           "%4, %5, %6, %7, %8, %9, %10, %11, %12, %13)")
                .arg(sqlText(r.CNAM), sqlText(r.PNAM), sqlText(r.PDSG), sqlText(r.ADR),
                     sqlText(r.ZCD), sqlText(r.PHN), sqlText(r.MOB), sqlText(r.FAX), sqlText(r.UAN))
                .arg(sqlText(r.EML), sqlText(r.WEB), sqlText(r.BTP), sqlText(r.BDS)));
    }
    f.db().DTR.CommitRetaining();
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = 10000;
    PersonalFixture f;
    f.installTemplates();
    fill(f, rows);
    QDir::setCurrent(f.binDir());
    SettingsStore settings(f.settingsPath());
    QWidget area;
    area.resize(1280, 816);
    Shell::setObserver([](const QUrl&) {});
    auto* page = new TPDIR_FRM(f.db(), settings, &area, &area);
    page->resize(1280, 816);
    page->setTag(2);
    area.show();
    page->show();
    QTest::qWait(300);
    page->contactList()->selectAll();
    std::printf("personal page, %d contacts selected: %lld\n", rows,
                static_cast<long long>(page->selectedContacts().size()));

    const Stats rtf = measure(5, [&] { return timed([&] { page->RTFClick(); }); });

    auto* pane = page->findChild<DetailPane*>();
    QMenu* menu = pane->reportMenu();
    QTemporaryDir out;
    int pages = 0;
    double writeMs = 0;
    const Stats pdf = measure(3, [&] {
        const QString path = out.filePath(QStringLiteral("report.pdf"));
        QSignalSpy written(pane->reportOutput(), &ReportOutput::pdfWritten);
        QSignalSpy progress(pane->reportOutput(), &ReportOutput::progress);
        ReportOutput::setNextFileName(path);
        QElapsedTimer t;
        t.start();
        menu->actions().at(2)->trigger();
        written.wait(600000);
        const double total = t.nsecsElapsed() / 1e6;
        pages = progress.isEmpty() ? 0 : progress.last().at(1).toInt();
        writeMs = total;
        return total;
    });

    const Stats window = measure(3, [&] {
        return timed([&] {
            menu->actions().at(0)->trigger();
            QApplication::processEvents();
        });
    });
    const int windowPages =
        ReportWindow::existing() ? ReportWindow::existing()->report().pageCount() : 0;

    std::printf("RTF alone (View Report handing the file on): median %.0f ms (%.0f-%.0f)\n",
                rtf.median, rtf.low, rtf.high);
    std::printf("click to PDF closed (%d pages): median %.0f ms (%.0f-%.0f), %.1f pages/s\n", pages,
                pdf.median, pdf.low, pdf.high, pages / (pdf.median / 1000.0));
    std::printf("report window shown (%d pages): median %.0f ms (%.0f-%.0f)\n", windowPages,
                window.median, window.low, window.high);
    (void)writeMs;
    delete ReportWindow::existing();
    return 0;
}
