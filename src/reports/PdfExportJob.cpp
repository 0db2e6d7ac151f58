#include "reports/PdfExportJob.h"

#include "reports/ReportDocument.h"
#include "reports/ReportFileError.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTimer>

PdfExportJob::PdfExportJob(QObject* parent) : QObject(parent) {}

PdfExportJob::~PdfExportJob() {
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    m_pdf.reset();
    if (m_file)
        m_file->cancelWriting();
}

void PdfExportJob::start(const ReportDocument& report, const QString& path, const QString& title) {
    if (m_report)
        return;
    m_report = &report;
    m_path = path;
    m_next = 0;
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        const QString reason = m_file->errorString();
        QTimer::singleShot(0, this, [this, reason] {
            end(false, ReportFileError::cannotCreate(m_path, reason).message());
        });
        return;
    }
    m_pdf = std::make_unique<QPdfWriter>(m_file.get());
    m_pdf->setTitle(title);
    m_pdf->setCreator(QStringLiteral("Tessaro Kavelin"));
    m_pdf->setResolution(600);
    m_report->setUpDevice(*m_pdf);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_pdf.get())) {
        QTimer::singleShot(0, this, [this] {
            end(false, ReportFileError::cannotWrite(m_path,
                                                    QStringLiteral("The pages could not be drawn."))
                           .message());
        });
        return;
    }
    QTimer::singleShot(0, this, &PdfExportJob::writeSome);
}

void PdfExportJob::cancel() {
    if (m_report)
        end(false, QString());
}

// Pages until the slice is used up, then the event loop's turn; the next slice is queued.
void PdfExportJob::writeSome() {
    if (!m_report)
        return;
    const int count = m_report->pageCount();
    QElapsedTimer slice;
    slice.start();
    while (m_next < count && slice.elapsed() < SliceMs) {
        if (m_next > 0 && !m_pdf->newPage()) {
            end(false, ReportFileError::cannotWrite(m_path, m_file->errorString()).message());
            return;
        }
        m_report->printPage(*m_painter, *m_pdf, m_next);
        ++m_next;
        emit progress(m_next, count);
        if (!m_report)
            return; // stopped by a slot of progress()
    }
    if (m_next < count) {
        QTimer::singleShot(0, this, &PdfExportJob::writeSome);
        return;
    }
    const bool drawn = m_painter->end();
    m_painter.reset();
    m_pdf.reset(); // writes the fonts and the file's tables
    if (!drawn || m_file->error() != QFileDevice::NoError) {
        const QString reason = m_file->error() != QFileDevice::NoError
                                   ? m_file->errorString()
                                   : QStringLiteral("The pages could not be drawn.");
        end(false, ReportFileError::cannotWrite(m_path, reason).message());
        return;
    }
    if (!m_file->commit()) {
        end(false, ReportFileError::cannotWrite(m_path, m_file->errorString()).message());
        return;
    }
    m_file.reset();
    end(true, QString());
}

void PdfExportJob::end(bool written, const QString& message) {
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    m_pdf.reset();
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_report = nullptr;
    emit finished(written, m_path, message);
}
