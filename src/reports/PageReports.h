#pragma once

#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"

#include <QString>

// The report table DS of one directory page and its two documents: the detail pane's one-row
// document and the printable report, written from the page's templates ("PD", "BD" or "FD").
// The caller fills DS first. A fault (missing template, unwritable reports folder, template
// error) propagates and leaves DS unblanked; the next fill empties it.
class PageReports {
public:
    PageReports(const QString& prefix, ReportTable::Layout layout);

    ReportTable& DS() { return m_ds; }

    // Runs the detail template over DS, blanks DS and answers the output file.
    QString writeDetail();
    // Runs the report template over DS, blanks DS and answers the output file.
    QString writeReport();

private:
    QString write(ReportWriter::Use use);

    QString m_prefix;
    ReportTable m_ds;
};
