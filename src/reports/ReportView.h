#pragma once

#include <QAbstractScrollArea>

class ReportDocument;

// The pages of a report as they print, one under another on a grey ground: scrollable, and
// zoomable with Ctrl and the wheel or zoomIn()/zoomOut(). Only the pages in sight are painted.
class ReportView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);

    // The report stays the caller's; nullptr shows an empty ground.
    void setReport(const ReportDocument* report);
    qreal zoom() const { return m_zoom; }
    void setZoom(qreal zoom);
    void zoomIn() { setZoom(m_zoom * 1.25); }
    void zoomOut() { setZoom(m_zoom / 1.25); }
    // The page at the top of the view (from 0).
    int currentPage() const;

    static constexpr qreal MinZoom = 0.25;
    static constexpr qreal MaxZoom = 4.0;
    static constexpr int Gap = 16;

signals:
    void zoomChanged(qreal zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateScrollBars();
    QSizeF pageSize() const;
    QPointF pageOrigin(int index) const;

    const ReportDocument* m_report = nullptr;
    qreal m_zoom = 1.0;
};
