// Benchmark of the printed report's own stages, without a database or a window: the personal
// report of N generated rows written as RTF, laid out on pages (read, layout, pagination) and
// written as a PDF, for several N, so a cost that grows faster than the rows shows. Prints
// milliseconds per stage and per 1,000 rows, and for the layout a part at a time (as the window
// does it, 40 ms asked per part) the longest part, which is how long the window is held at most.
// Usage: bench_reportlayout [rows...]; with REPORT_PDF_KEEP set, the last PDF is kept under that
// name.
#include "SampleRows.h"
#include "reports/ReportDocument.h"
#include "reports/ReportPdf.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
double timed(const std::function<void()>& body) {
    QElapsedTimer t;
    t.start();
    body();
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QString::fromLocal8Bit(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {1000, 2000, 5000, 10000};
    QTemporaryDir dir;
    const QString rtfPath = dir.filePath("report.rtf");
    const QString pdfPath = dir.filePath("report.pdf");
    const QString templ = QStringLiteral(TK_SOURCE_DIR "/templates/PD_RP.TEMPLATE.RTF");
    std::printf("%8s %10s %10s %10s %8s %10s %10s %8s\n", "rows", "rtf ms", "layout ms", "pdf ms",
                "pages", "ms/1000", "longest ms", "parts");
    for (const int rows : counts) {
        const QList<ContactRow> contacts = SampleRows::contacts(rows);
        ReportTable ds(ReportTable::Layout::Contact);
        const double rtf = timed([&] {
            ReportRows::fillContactReport(ds, contacts);
            ReportWriter::writeAndBlank(ds, templ, rtfPath);
        });
        QFile file(rtfPath);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        ReportDocument report;
        const double layout = timed([&] { report.setRtf(bytes); });
        const double pdf = timed([&] { ReportPdf::write(report, pdfPath, "bench"); });
        ReportDocument parts;
        parts.begin(bytes);
        double longest = 0;
        int count = 0;
        for (bool ready = false; !ready; ++count)
            longest = std::max(longest, timed([&] { ready = parts.step(40); }));
        std::printf("%8d %10.0f %10.0f %10.0f %8d %10.0f %10.0f %8d\n", rows, rtf, layout, pdf,
                    report.pageCount(), (rtf + layout + pdf) * 1000.0 / rows, longest, count);
        std::fflush(stdout);
    }
    if (!qEnvironmentVariableIsEmpty("REPORT_PDF_KEEP")) {
        const QString keep = qEnvironmentVariable("REPORT_PDF_KEEP");
        QFile::remove(keep);
        QFile::copy(pdfPath, keep);
    }
    return 0;
}
