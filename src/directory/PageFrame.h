#pragma once

#include <QString>

class AdvertPane;
class DetailPane;
class DirectoryListView;
class QAbstractItemModel;
class QLabel;
class QVBoxLayout;
class QWidget;

// The frame every directory page is laid out in, left to right: the search panel and its
// collapse bar, the centre (list and detail pane), the strip's collapse bar and the action strip;
// and the pieces the pages' search panels and centres share.
class PageFrame {
public:
    // The search panel's collapse bar is SPL_S, the strip's SPL_B.
    static void arrange(QWidget* page, QWidget* search, QWidget* centre, QWidget* strip);

    // The search panel SPANEL at its fixed width, with the page's title TIT on top; the page
    // adds its boxes to the layout.
    struct SearchPanel {
        QWidget* panel;
        QVBoxLayout* layout;
    };
    static SearchPanel searchPanel(QWidget* page, const QString& title);
    // The status label RCF under the boxes ("n Records Found", a reply's status): plain text,
    // wrapped.
    static QLabel* addStatusLabel(const SearchPanel& search);
    // The side panel SD_P filling the rest of the search panel, holding the side advertisement.
    static AdvertPane* addSideAdvert(const SearchPanel& search);

    // The result list inside the detail pane, over the model; a move of its focus or selection
    // restarts the pane's detail timer.
    static DirectoryListView* resultList(DetailPane* pane, QAbstractItemModel* model);
};
