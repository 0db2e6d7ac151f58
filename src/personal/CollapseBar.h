#pragma once

#include <QWidget>

class QToolButton;

// A thin bar between two panels that cannot be dragged; its button hides and shows the panel
// on one side.
class CollapseBar : public QWidget {
    Q_OBJECT
public:
    // `targetOnLeft`: the panel is left of the bar (arrow points left while it is shown).
    CollapseBar(QWidget* target, bool targetOnLeft, QWidget* parent = nullptr);

    bool isCollapsed() const;
    void setCollapsed(bool collapsed);

signals:
    void toggled(bool collapsed);

private:
    void updateArrow();

    QWidget* m_target;
    bool m_targetOnLeft;
    QToolButton* m_button;
};
