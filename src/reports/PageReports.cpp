#include "reports/PageReports.h"

PageReports::PageReports(const QString& prefix, ReportTable::Layout layout)
    : m_prefix(prefix), m_ds(layout) {}

QString PageReports::writeDetail() {
    return write(ReportWriter::Use::Detail);
}

QString PageReports::writeReport() {
    return write(ReportWriter::Use::Report);
}

QString PageReports::write(ReportWriter::Use use) {
    const QString output = ReportWriter::outputFile(m_prefix, use);
    ReportWriter::writeAndBlank(m_ds, ReportWriter::templateFile(m_prefix, use), output);
    return output;
}
