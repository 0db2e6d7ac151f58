#include "directory/DirectoryListView.h"

#include "directory/DirectoryColumns.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

DirectoryListView::DirectoryListView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("VST_E"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
    setWordWrap(false);
    setIconSize(QSize(24, 24));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(25);
    verticalHeader()->setMinimumSectionSize(25);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(false);
}

void DirectoryListView::setListModel(QAbstractItemModel* model) {
    setModel(model);
    for (int c = 0; c < DirectoryColumns::Count && c < model->columnCount(); ++c)
        horizontalHeader()->resizeSection(c, DirectoryColumns::width(c));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DirectoryListView::focusChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DirectoryListView::focusChanged);
}

QList<int> DirectoryListView::selectedRowNumbers() const {
    QList<int> rows;
    if (!selectionModel())
        return rows;
    // Walk the selection ranges rather than every selected cell: a full selection of a long
    // listing is one range.
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.append(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int DirectoryListView::firstSelectedRow() const {
    if (!selectionModel())
        return -1;
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    return first;
}

void DirectoryListView::focusRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void DirectoryListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        if (under.isValid() && !selectionModel()->isRowSelected(under.row(), {}))
            focusRow(under.row());
        return;
    }
    QTableView::mousePressEvent(event);
}
