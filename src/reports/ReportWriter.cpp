#include "reports/ReportWriter.h"

#include "reports/BlankAllValues.h"
#include "reports/MemoryTable.h"
#include "reports/TDbFreeReporter.h"

namespace {
QString suffix(ReportWriter::Use use) {
    return use == ReportWriter::Use::Detail ? QStringLiteral("_DV") : QStringLiteral("_RP");
}
} // namespace

QString ReportWriter::templateFile(const QString& prefix, Use use) {
    return QStringLiteral("../templates/") + prefix + suffix(use) + QStringLiteral(".TEMPLATE.RTF");
}

QString ReportWriter::outputFile(const QString& prefix, Use use) {
    return QStringLiteral("../reports/") + prefix + suffix(use) + QStringLiteral(".RTF");
}

void ReportWriter::write(ReportDataSet& dataSet, const QString& templatePath,
                         const QString& outputPath) {
    TDbFreeReporter reporter;
    reporter.AddDataSet(&dataSet);
    reporter.Execute(templatePath, outputPath);
}

void ReportWriter::writeAndBlank(MemoryTable& table, const QString& templatePath,
                                 const QString& outputPath) {
    write(table, templatePath, outputPath);
    BlankAllValues(table);
}
