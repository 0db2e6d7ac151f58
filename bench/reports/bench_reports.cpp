// Benchmarks of the reports subsystem: a 10,000-row printable report written by the engine, and
// the detail pane's render of one row (engine, then RTF reader, then layout). Prints medians.
#include "SampleRows.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"
#include "reports/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Median wall time in milliseconds of `runs` calls.
double measure(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(times);
}

QString templ(const char* name) {
    return QStringLiteral(TK_SOURCE_DIR "/templates/") + QLatin1String(name) +
           QStringLiteral(".TEMPLATE.RTF");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString out = dir.filePath("report.rtf");

    const QList<ContactRow> rows = SampleRows::contacts(10000);
    QList<const ContactRow*> selected;
    for (const ContactRow& r : rows)
        selected << &r;
    ReportTable ds(ReportTable::Layout::Contact);

    const double fill = measure(7, [&] { ReportRows::fillContactReport(ds, selected); });
    const double write = measure(7, [&] {
        ReportRows::fillContactReport(ds, selected);
        ReportWriter::writeAndBlank(ds, templ("PD_RP"), out);
    });
    std::printf("PD_RP report, 10000 rows: fill DS %.1f ms, fill + engine + blank %.1f ms, "
                "output %lld bytes\n",
                fill, write, static_cast<long long>(QFileInfo(out).size()));

    QList<PtclRow> ptclRows;
    for (int i = 0; i < 10000; ++i)
        ptclRows << SampleRows::ptcl(i);
    QList<const PtclRow*> ptclSelected;
    for (const PtclRow& r : ptclRows)
        ptclSelected << &r;
    ReportTable ptcl(ReportTable::Layout::Ptcl);
    const double ptclWrite = measure(7, [&] {
        ReportRows::fillPtclReport(ptcl, ptclSelected);
        ReportWriter::writeAndBlank(ptcl, templ("FD_RP"), out);
    });
    std::printf("FD_RP report, 10000 rows: fill + engine + blank %.1f ms\n", ptclWrite);

    const ContactRow one = SampleRows::fullContact();
    const QString detail = dir.filePath("PD_DV.RTF");
    QTextDocument doc;
    auto engine = [&] {
        ReportRows::fillContactDetail(ds, one);
        ReportWriter::writeAndBlank(ds, templ("PD_DV"), detail);
    };
    auto reader = [&] {
        QFile f(detail);
        f.open(QIODevice::ReadOnly);
        RtfReader::read(f.readAll(), &doc);
    };
    auto layout = [&] {
        doc.setTextWidth(520);
        (void)doc.size();
    };
    engine();
    reader();
    layout(); // warm the font caches once
    const double tEngine = measure(201, engine);
    const double tReader = measure(201, reader);
    const double tAll = measure(201, [&] {
        engine();
        reader();
        layout();
    });
    std::printf("PD_DV detail, one row: engine %.3f ms, reader %.3f ms, engine + reader + layout "
                "%.3f ms\n",
                tEngine, tReader, tAll);
    return 0;
}
