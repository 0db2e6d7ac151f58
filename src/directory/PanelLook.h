#pragma once

#include <QIcon>
#include <QString>

class QLabel;
class QStyle;
class QWidget;

// The look the directory pages share: the pictures of the main window's small image list and
// the white labels of the search panel.
class PanelLook {
public:
    static constexpr int SearchPanelWidth = 236;

    // Image i of the 24 by 24 list: 0 folder, 1 contact or listing, 3 the search button.
    static QIcon listImage(int i, QStyle* style);
    // A label in white on the content panel's dark colour; `bold` for the page title.
    static QLabel* label(const QString& text, QWidget* parent, bool bold = false);
};
