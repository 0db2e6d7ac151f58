#include "reports/RtfView.h"

#include "reports/ReportFileError.h"
#include "reports/RtfReader.h"

#include <QFile>

RtfView::RtfView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("RE"));
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
}

void RtfView::loadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportFileError::cannotOpen(path, file.errorString());
    const QByteArray rtf = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportFileError::cannotOpen(path, file.errorString());
    loadRtf(rtf);
}

void RtfView::loadRtf(const QByteArray& rtf) {
    RtfReader::read(rtf, document());
    moveCursor(QTextCursor::Start);
}
