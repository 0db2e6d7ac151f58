#pragma once

#include <QWidget>

class QToolButton;

// An up-down control: two arrow buttons stepping a position between 0 and a maximum; the
// upper arrow steps up. Reports every click, even one that cannot move the position.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int position);
    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_position = 0;
    int m_maximum = 0;
};
