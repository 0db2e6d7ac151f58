#pragma once

#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QTreeView>

class FolderTreeModel;

// The folder tree control VST_F: two columns with grid lines, one folder selected at a time,
// incremental search by typing, and drag and drop of folders and of contacts from the list.
class FolderTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTreeView(QWidget* parent = nullptr);

    void setFolderModel(FolderTreeModel* model);
    FolderTreeModel* folderModel() const { return m_model; }
    // The contact list whose rows may be dropped onto folders.
    void setContactSource(QWidget* source) { m_contactSource = source; }

    QModelIndex selectedFolder() const;
    void selectFolder(const QModelIndex& index);

    // The drag rules: a drag from the given source with the node under the mouse (invalid over
    // empty space).
    bool acceptsDrag(QObject* source, const QModelIndex& underMouse) const;
    // Whether a drag from the source can be dropped anywhere in the tree at all.
    bool canTakeDrag(QObject* source) const;

    void keyboardSearch(const QString& search) override;

signals:
    // A folder (the selected one) was dropped; `target` is invalid over empty space.
    void folderDropped(const QModelIndex& target);
    // Selected contacts of the list were dropped; `target` is invalid over empty space.
    void contactsDropped(const QModelIndex& target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void judgeDrag(QDragMoveEvent* event);

    FolderTreeModel* m_model = nullptr;
    QWidget* m_contactSource = nullptr;
    QPersistentModelIndex m_dropTarget;
    QString m_typed;
    QElapsedTimer m_typedTimer;
};
