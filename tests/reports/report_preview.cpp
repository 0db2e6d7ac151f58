// Development aid: runs the six shipped templates over sample rows into a folder and renders
// what the detail pane's reader makes of each output into PNG pictures.
#include "SampleRows.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"
#include "reports/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <cstdio>

namespace {

void render(const QString& rtfPath, const QString& pngPath, int width) {
    QFile f(rtfPath);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QTextDocument doc;
    RtfReader::read(f.readAll(), &doc);
    doc.setTextWidth(width);
    QImage image(width, int(doc.size().height()) + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    doc.drawContents(&painter);
    painter.end();
    image.save(pngPath);
}

void run(ReportTable& ds, const QString& templates, const QString& out, const QString& prefix,
         ReportWriter::Use use) {
    const QString name = prefix + (use == ReportWriter::Use::Detail ? "_DV" : "_RP");
    ReportWriter::writeAndBlank(ds, templates + "/" + name + ".TEMPLATE.RTF",
                                out + "/" + name + ".RTF");
    render(out + "/" + name + ".RTF", out + "/" + name + ".png",
           use == ReportWriter::Use::Detail ? 520 : 1100);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("preview");
    const QString templates = QStringLiteral(TK_SOURCE_DIR "/templates");
    QDir().mkpath(out);

    ReportTable contact(ReportTable::Layout::Contact);
    ReportRows::fillContactDetail(contact, SampleRows::fullContact());
    run(contact, templates, out, "PD", ReportWriter::Use::Detail);
    ReportRows::fillContactDetail(contact, SampleRows::sparseContact());
    run(contact, templates, out, "BD", ReportWriter::Use::Detail);
    const QList<ContactRow> rows = SampleRows::contacts(12);
    QList<const ContactRow*> pointers;
    const ContactRow full = SampleRows::fullContact();
    const ContactRow sparse = SampleRows::sparseContact();
    pointers << &full << &sparse;
    for (const ContactRow& r : rows)
        pointers << &r;
    ReportRows::fillContactReport(contact, pointers);
    run(contact, templates, out, "PD", ReportWriter::Use::Report);
    ReportRows::fillContactReport(contact, pointers.mid(0, 40));
    run(contact, templates, out, "BD", ReportWriter::Use::Report);

    ReportTable ptcl(ReportTable::Layout::Ptcl);
    ReportRows::fillPtclDetail(ptcl, SampleRows::ptcl(0));
    run(ptcl, templates, out, "FD", ReportWriter::Use::Detail);
    QList<PtclRow> ptclRows;
    for (int i = 0; i < 30; ++i)
        ptclRows << SampleRows::ptcl(i);
    QList<const PtclRow*> ptclPointers;
    for (const PtclRow& r : ptclRows)
        ptclPointers << &r;
    ReportRows::fillPtclReport(ptcl, ptclPointers);
    run(ptcl, templates, out, "FD", ReportWriter::Use::Report);
    std::printf("written to %s\n", qPrintable(out));
    return 0;
}
