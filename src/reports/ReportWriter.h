#pragma once

#include <QString>

class MemoryTable;
class ReportDataSet;

// Runs one report template over a report table into one output file, the way the directory
// pages produce their detail panes and printable reports. Template faults raise
// TReporterException, file faults ReportFileError.
class ReportWriter {
public:
    enum class Use { Detail, Report };

    // "../templates/" + prefix + "_DV.TEMPLATE.RTF" or "_RP.TEMPLATE.RTF".
    static QString templateFile(const QString& prefix, Use use);
    // "../reports/" + prefix + "_DV.RTF" or "_RP.RTF".
    static QString outputFile(const QString& prefix, Use use);

    // Runs the template with the data set registered under its name.
    static void write(ReportDataSet& dataSet, const QString& templatePath,
                      const QString& outputPath);
    // Runs the template over the table and then blanks its values; after a fault the table
    // keeps its values.
    static void writeAndBlank(MemoryTable& table, const QString& templatePath,
                              const QString& outputPath);
};
