#pragma once

#include <QHash>
#include <QRect>
#include <QSize>

class QWidget;

// Remembers the designed geometry of an editor's controls and lays them out again in
// proportion to the window's size, always from the designed values so repeated resizes never
// accumulate rounding.
class DesignLayout {
public:
    enum Scale { TopOnly = 1, Horizontal = 2, Height = 4 };

    explicit DesignLayout(QSize designed) : m_designed(designed) {}

    void add(QWidget* widget, QRect designed, int scale);
    QRect designedRect(QWidget* widget) const { return m_items.value(widget).rect; }
    // Geometry for the given window size by the rule of the widget's scale flags.
    QRect scaledRect(QWidget* widget, QSize size) const;
    void apply(QSize size) const;
    QSize designedSize() const { return m_designed; }

private:
    struct Item {
        QRect rect;
        int scale = 0;
    };
    QSize m_designed;
    QHash<QWidget*, Item> m_items;
};
