#include "reports/RtfView.h"

#include "reports/ReportFileError.h"
#include "reports/RtfReader.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>

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
    m_rtf = rtf;
    moveCursor(QTextCursor::Start);
}

void RtfView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setObjectName(QStringLiteral("RE_MNU"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_menuActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_menuActions);
    }
    menu->popup(event->globalPos());
}
