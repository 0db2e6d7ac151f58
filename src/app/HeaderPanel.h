#pragma once

#include <QPixmap>
#include <QWidget>

// The main window's header strip: a tiled background stretching with the width between a
// left and a right edge picture.
class HeaderPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 208;
    static constexpr int EdgeWidth = 30;

    explicit HeaderPanel(QWidget* parent = nullptr);

signals:
    // A right click on the header itself (not on one of its controls).
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void renderPictures(qreal ratio);

    QPixmap m_tile;
    QPixmap m_left;
    QPixmap m_right;
};
