#include "reports/ReportView.h"

#include "reports/ReportDocument.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("RPV"));
    viewport()->setAutoFillBackground(true);
    QPalette ground = viewport()->palette();
    ground.setColor(QPalette::Window, QColor(128, 128, 128));
    viewport()->setPalette(ground);
    verticalScrollBar()->setSingleStep(24);
    horizontalScrollBar()->setSingleStep(24);
}

void ReportView::setReport(const ReportDocument* report) {
    m_report = report;
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void ReportView::setZoom(qreal zoom) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (std::abs(zoom - m_zoom) < 1e-6)
        return;
    // Keep the same place of the report at the top of the view.
    const qreal ratio = zoom / m_zoom;
    const int top = verticalScrollBar()->value();
    m_zoom = zoom;
    updateScrollBars();
    verticalScrollBar()->setValue(int(std::lround(top * ratio)));
    viewport()->update();
    emit zoomChanged(m_zoom);
}

QSizeF ReportView::pageSize() const {
    return m_report ? m_report->paperSize() * m_zoom : QSizeF();
}

int ReportView::currentPage() const {
    if (!m_report)
        return 0;
    const qreal step = pageSize().height() + Gap;
    return std::clamp(int(verticalScrollBar()->value() / step), 0, m_report->pageCount() - 1);
}

QPointF ReportView::pageOrigin(int index) const {
    const QSizeF page = pageSize();
    const qreal contentWidth = page.width() + 2 * Gap;
    const qreal left = contentWidth < viewport()->width() ? (viewport()->width() - page.width()) / 2
                                                          : Gap - horizontalScrollBar()->value();
    return {left, Gap + index * (page.height() + Gap) - verticalScrollBar()->value()};
}

void ReportView::updateScrollBars() {
    if (!m_report) {
        verticalScrollBar()->setRange(0, 0);
        horizontalScrollBar()->setRange(0, 0);
        return;
    }
    const QSizeF page = pageSize();
    const qreal height = Gap + m_report->pageCount() * (page.height() + Gap);
    const qreal width = page.width() + 2 * Gap;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, int(height) - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, int(width) - viewport()->width()));
}

void ReportView::paintEvent(QPaintEvent* event) {
    if (!m_report)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QSizeF page = pageSize();
    const qreal step = page.height() + Gap;
    const int first = std::max(0, int((verticalScrollBar()->value() - Gap) / step));
    for (int i = first; i < m_report->pageCount(); ++i) {
        const QPointF origin = pageOrigin(i);
        if (origin.y() > event->rect().bottom())
            break;
        const QRectF sheet(origin, page);
        painter.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 60));
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(origin);
        painter.scale(m_zoom, m_zoom);
        m_report->paintPage(painter, i);
        painter.restore();
    }
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ReportView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    if (event->angleDelta().y() > 0)
        zoomIn();
    else if (event->angleDelta().y() < 0)
        zoomOut();
    event->accept();
}
