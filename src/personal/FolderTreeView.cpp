#include "personal/FolderTreeView.h"

#include "personal/FolderTreeModel.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
// Rows 25 pixels high with grid lines.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 25};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
};
} // namespace

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("VST_F"));
    setItemDelegate(new GridDelegate(this));
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setHeaderHidden(false);
    setIconSize(QSize(24, 24));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(false);
    setAutoExpandDelay(700);
    setExpandsOnDoubleClick(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(false);
}

void FolderTreeView::setFolderModel(FolderTreeModel* model) {
    m_model = model;
    setModel(model);
    header()->resizeSection(0, 232);
    header()->resizeSection(1, 1000);
}

QModelIndex FolderTreeView::selectedFolder() const {
    if (!selectionModel())
        return {};
    const QModelIndexList rows = selectionModel()->selectedRows(0);
    return rows.isEmpty() ? QModelIndex() : rows.first();
}

void FolderTreeView::selectFolder(const QModelIndex& index) {
    if (!index.isValid())
        return;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        expand(p);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void FolderTreeView::mousePressEvent(QMouseEvent* event) {
    // A right click selects the row under the mouse before the menu opens.
    if (event->button() == Qt::RightButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        if (under.isValid())
            selectFolder(under.siblingAtColumn(0));
        return;
    }
    QTreeView::mousePressEvent(event);
}

void FolderTreeView::keyboardSearch(const QString& search) {
    if (!m_model || search.isEmpty())
        return;
    if (!m_typedTimer.isValid() || m_typedTimer.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_typedTimer.start();
    m_typed += search;
    const QModelIndex found = m_model->incrementalFind(m_typed, currentIndex());
    if (found.isValid())
        selectFolder(found);
}

bool FolderTreeView::acceptsDrag(QObject* source, const QModelIndex& underMouse) const {
    if (!m_model)
        return false;
    const bool folderDrag = source == this;
    if (!folderDrag && (!source || source != m_contactSource))
        return false;
    const QModelIndex under = underMouse.siblingAtColumn(0);
    const QModelIndex selected = selectedFolder();
    const QModelIndex target = under.isValid() ? under : selected;
    if (!target.isValid() || m_model->folderId(target) == FolderTreeModel::AllContactsFolder)
        return false;
    if (folderDrag) {
        // Folder 1 is never moved.
        if (!selected.isValid() ||
            m_model->folderId(selected) == FolderTreeModel::AllContactsFolder)
            return false;
        if (under.isValid() && under == selected)
            return false;
    }
    return true;
}

bool FolderTreeView::canTakeDrag(QObject* source) const {
    if (!m_model || !source)
        return false;
    if (source == this) {
        // Folder 1 is never moved.
        const QModelIndex selected = selectedFolder();
        return selected.isValid() &&
               m_model->folderId(selected) != FolderTreeModel::AllContactsFolder;
    }
    return source == m_contactSource;
}

void FolderTreeView::judgeDrag(QDragMoveEvent* event) {
    const QModelIndex under = indexAt(event->position().toPoint()).siblingAtColumn(0);
    const bool ok = acceptsDrag(event->source(), under);
    const QPersistentModelIndex target =
        ok ? QPersistentModelIndex(under) : QPersistentModelIndex();
    if (target != m_dropTarget) {
        m_dropTarget = target;
        viewport()->update();
    }
    if (ok) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// The drag is taken in wherever it enters, even over a row it cannot be dropped on (folder 1,
// the dragged folder itself): a refused drag-enter would get no further moves, so the user could
// never reach a folder that does take it. Each move then decides for its own position.
void FolderTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (!canTakeDrag(event->source())) {
        event->ignore();
        return;
    }
    // The dragging state lets a closed folder that is hovered for a while open.
    setState(DraggingState);
    judgeDrag(event);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event) {
    // The tree's own handling opens a closed folder hovered for a while and scrolls near the
    // edges.
    QTreeView::dragMoveEvent(event);
    judgeDrag(event);
}

void FolderTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
    m_dropTarget = QPersistentModelIndex();
    viewport()->update();
    QTreeView::dragLeaveEvent(event);
}

void FolderTreeView::dropEvent(QDropEvent* event) {
    m_dropTarget = QPersistentModelIndex();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const QModelIndex under = indexAt(event->position().toPoint()).siblingAtColumn(0);
    if (!acceptsDrag(event->source(), under)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (event->source() == this)
        emit folderDropped(under);
    else
        emit contactsDropped(under);
}

void FolderTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (m_dropTarget.isValid() && index.siblingAtColumn(0) == m_dropTarget) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

void FolderTreeView::startDrag(Qt::DropActions) {
    const QModelIndex selected = selectedFolder();
    if (!m_model || !selected.isValid() || !(m_model->flags(selected) & Qt::ItemIsDragEnabled))
        return;
    // The drop does the moving; the drag itself never removes rows.
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData({selected}));
    drag->setPixmap(m_model->data(selected, Qt::DecorationRole).value<QIcon>().pixmap(24, 24));
    drag->exec(Qt::MoveAction);
}
