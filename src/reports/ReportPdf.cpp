#include "reports/ReportPdf.h"

#include "reports/ReportFileError.h"

#include <QPdfWriter>
#include <QSaveFile>

bool ReportPdf::write(const QByteArray& rtf, const QString& path, const QString& title,
                      const ReportDocument::Progress& progress) {
    ReportDocument report;
    report.setRtf(rtf);
    return write(report, path, title, progress);
}

bool ReportPdf::write(const ReportDocument& report, const QString& path, const QString& title,
                      const ReportDocument::Progress& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportFileError::cannotCreate(path, file.errorString());
    bool stopped = false;
    bool complete = false;
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Tessaro Kavelin"));
        pdf.setResolution(600);
        complete = report.print(pdf, [&](int done, int count) {
            stopped = progress && !progress(done, count);
            return !stopped;
        });
    }
    if (stopped) {
        file.cancelWriting();
        return false;
    }
    if (!complete) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("The pages could not be drawn.");
        file.cancelWriting();
        throw ReportFileError::cannotWrite(path, reason);
    }
    if (!file.commit())
        throw ReportFileError::cannotWrite(path, file.errorString());
    return true;
}
