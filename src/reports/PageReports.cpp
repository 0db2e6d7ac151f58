#include "reports/PageReports.h"

#include "reports/ReportWriter.h"

PageReports::PageReports(const QString& prefix, ReportTable::Layout layout)
    : m_prefix(prefix), m_ds(layout) {}

QString PageReports::writeDetail() {
    const QString output = ReportWriter::outputFile(m_prefix, ReportWriter::Use::Detail);
    ReportWriter::writeAndBlank(
        m_ds, ReportWriter::templateFile(m_prefix, ReportWriter::Use::Detail), output);
    return output;
}

QString PageReports::writeReport() {
    const QString output = ReportWriter::outputFile(m_prefix, ReportWriter::Use::Report);
    ReportWriter::writeAndBlank(
        m_ds, ReportWriter::templateFile(m_prefix, ReportWriter::Use::Report), output);
    return output;
}
