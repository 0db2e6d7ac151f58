#include "personal/ContactListView.h"

#include "directory/DirectoryColumns.h"
#include "personal/ContactListModel.h"

#include <QDrag>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

ContactListView::ContactListView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("VST_E"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
    setWordWrap(false);
    setIconSize(QSize(24, 24));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
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

void ContactListView::setContactModel(ContactListModel* model) {
    m_model = model;
    setModel(model);
    for (int c = 0; c < DirectoryColumns::Count; ++c)
        horizontalHeader()->resizeSection(c, DirectoryColumns::width(c));
}

QList<int> ContactListView::selectedRowNumbers() const {
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

int ContactListView::firstSelectedRow() const {
    if (!selectionModel())
        return -1;
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    return first;
}

void ContactListView::focusRow(int row) {
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void ContactListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        if (under.isValid() && !selectionModel()->isRowSelected(under.row(), {}))
            focusRow(under.row());
        return;
    }
    QTableView::mousePressEvent(event);
}

void ContactListView::startDrag(Qt::DropActions) {
    if (!m_model || firstSelectedRow() < 0)
        return;
    // A small picture and no copied row data: the drop reads the selection itself.
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData({}));
    const int count = int(selectedRowNumbers().size());
    QPixmap picture(140, 24);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         count == 1 ? QStringLiteral("1 contact")
                                    : QStringLiteral("%1 contacts").arg(count));
    }
    drag->setPixmap(picture);
    drag->exec(Qt::MoveAction);
}

void ContactListView::setEmptyText(const QString& text) {
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    viewport()->update();
}

void ContactListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (m_emptyText.isEmpty() || !m_model || m_model->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect area = viewport()->rect().adjusted(12, 12, -12, -12);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}
