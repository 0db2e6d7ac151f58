#pragma once

#include "app/ImageList.h"

#include <QAbstractButton>
#include <functional>

// A button that shows one picture of its picture list: the list index is chosen by the owner's
// paint handler (GBPaint) from the button's tag, selection mark and pointer-over state.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureButton(const ImageList& pictures, int tag, QWidget* parent = nullptr);

    int tag() const { return m_tag; }
    // The selection mark: "1" when marked, empty otherwise.
    QString mark() const { return m_mark; }
    void setMark(const QString& mark) { m_mark = mark; }
    int imageIndex() const { return m_imageIndex; }
    // Chooses the picture; the caller repaints.
    void setImageIndex(int index);
    bool pointerOver() const { return m_pointerOver; }
    const ImageList& pictures() const { return m_pictures; }

    // Runs before every paint, so that the owner can choose the picture.
    using PaintHandler = std::function<void(PictureButton*)>;
    void setPaintHandler(PaintHandler handler) { m_onPaint = std::move(handler); }

    QSize sizeHint() const override { return m_pictures.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ImageList m_pictures;
    int m_tag;
    QString m_mark;
    int m_imageIndex;
    bool m_pointerOver = false;
    PaintHandler m_onPaint;
    QVector<QPixmap> m_cache;
    qreal m_cacheRatio = 0;
};
