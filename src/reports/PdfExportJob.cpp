#include "reports/PdfExportJob.h"

#include "reports/ReportFileError.h"
#include "reports/ReportPdf.h"

#include <QEventLoop>
#include <QThread>

PdfExportJob::PdfExportJob(QObject* parent) : QObject(parent) {}

PdfExportJob::~PdfExportJob() {
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
}

void PdfExportJob::start(const QByteArray& rtf, const QString& path, const QString& title) {
    if (m_thread)
        return;
    m_cancel = false;
    m_thread = QThread::create([this, rtf, path, title] {
        bool written = false;
        QString message;
        try {
            emit progress(0, 0);
            written = ReportPdf::write(rtf, path, title, [this](int done, int count) {
                emit progress(done, count);
                return !m_cancel.load();
            });
        } catch (const ReportFileError& e) {
            message = e.message();
        } catch (const std::exception& e) {
            message = QString::fromLocal8Bit(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this, written, path, message] { ended(written, path, message); },
            Qt::QueuedConnection);
    });
    m_thread->start();
}

void PdfExportJob::ended(bool written, const QString& path, const QString& message) {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    emit finished(written, path, message);
}

void PdfExportJob::waitForEnd() {
    if (!m_thread)
        return;
    QEventLoop loop;
    connect(this, &PdfExportJob::finished, &loop, &QEventLoop::quit);
    loop.exec();
}
