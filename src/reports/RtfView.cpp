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
    const QByteArray rtf = readReportFile(path);
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
