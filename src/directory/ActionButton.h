#pragma once

#include <QAbstractButton>

// A picture button of a directory page's action strip (58 by 58): its picture comes from the
// action image list by its tag t, image 3t enabled, 3t + 1 under the mouse, 3t + 2 disabled.
class ActionButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int Side = 58;

    ActionButton(int tag, const QString& hint, QWidget* parent = nullptr);

    int tag() const { return m_tag; }
    // The index into the image list for the current state.
    int pictureIndex() const;
    QSize sizeHint() const override { return {Side, Side}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintFallback(QPainter& painter, int index);

    int m_tag;
    bool m_hot = false;
};
