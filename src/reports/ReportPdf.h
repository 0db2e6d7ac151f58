#pragma once

#include "reports/ReportDocument.h"

#include <QByteArray>
#include <QString>

// Writes a report as a PDF file with its fonts embedded. The file is written under a temporary
// name beside the chosen one and renamed over it only when it is complete, so a failed or
// stopped write never leaves a half file under the chosen name.
class ReportPdf {
public:
    // Lays the RTF out and writes it. Raises ReportFileError when the file cannot be written
    // (folder not writable, disk full); answers false when `progress` stopped it.
    static bool write(const QByteArray& rtf, const QString& path, const QString& title,
                      const ReportDocument::Progress& progress = {});
    // Writes an already laid out report.
    static bool write(const ReportDocument& report, const QString& path, const QString& title,
                      const ReportDocument::Progress& progress = {});
};
