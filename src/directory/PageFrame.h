#pragma once

class CollapseBar;
class QWidget;

// The frame every directory page is laid out in, left to right: the search panel and its
// collapse bar, the centre (list and detail pane), the strip's collapse bar and the action strip.
class PageFrame {
public:
    struct Bars {
        CollapseBar* search; // SPL_S
        CollapseBar* strip;  // SPL_B
    };

    static Bars arrange(QWidget* page, QWidget* search, QWidget* centre, QWidget* strip);
};
