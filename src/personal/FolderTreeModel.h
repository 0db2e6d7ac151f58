#pragma once

#include "contacts/FolderRow.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>
#include <memory>
#include <vector>

class Query;
class SingleValueHelper;
class Transaction;

// The folder tree VST_F as an item model over table CATE: the folders of one level are read in
// one statement (CAT_Q, with each folder's number of sub-folders) when the level is first
// needed; CAT_C counts the top-level folders.
// It also carries the tree's writing actions (delete, folder and contact drops).
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int AllContactsFolder = 1;
    static inline const QString FolderMimeType = QStringLiteral("application/x-tk-folder");

    // The user's place in the tree remembered across a reload: folder identifiers, 0 for none.
    struct Place {
        int same = 0;
        int next = 0;
        int previous = 0;
    };

    FolderTreeModel(Transaction& transaction, SingleValueHelper& helper, QObject* parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    void setFolderIcon(const QIcon& icon) { m_icon = icon; }

    // Empties the tree.
    void clear();
    // Empties the tree and counts the top-level folders again; nodes load when first needed.
    void restart();
    // Loads every node and every node's children (the top-down walk of a reload).
    void loadAll();

    // Visits the nodes in top-down order (each node, its children, then its next sibling),
    // loading them as it goes, until the visitor answers false.
    void walk(const std::function<bool(const QModelIndex&)>& visitor) const;
    QModelIndex nextInOrder(const QModelIndex& index) const;
    QModelIndex previousInOrder(const QModelIndex& index) const;

    FolderRow folderRow(const QModelIndex& index) const;
    void setFolderRow(const QModelIndex& index, const FolderRow& row);
    int folderId(const QModelIndex& index) const { return folderRow(index).CD; }
    // The first node in top-down order holding the folder, or an invalid index.
    QModelIndex findFolder(int cd) const;
    // The titles from the top-level folder down to the folder, joined by "\"; empty when the
    // folder is not in the tree.
    QString GetFolderPath(int cd) const;
    // Folder menu entries in top-down order, folder 1 left out: caption (4 spaces per level of
    // depth, then the title) and identifier.
    QList<QPair<QString, int>> folderMenuEntries() const;
    bool isSelfOrDescendant(const QModelIndex& candidate, const QModelIndex& folder) const;

    Place rememberPlace(const QModelIndex& selected) const;

    // Incremental search rule: title and typed text agree, ignoring case, over the length of
    // the shorter of the two.
    static bool incrementalMatch(const QString& title, const QString& typed);
    // The first node matching the typed text, searching all nodes from `from` on (inclusive)
    // in top-down order and wrapping round; invalid when none matches.
    QModelIndex incrementalFind(const QString& typed, const QModelIndex& from) const;

    // Deletes the folder and every folder below it from CATE, removes its node and commits.
    void deleteFolder(const QModelIndex& index);
    // Makes the folder the last child of the new parent (an invalid index: the top level),
    // writes its PCD and commits. Answers false, writing nothing, when the new parent is the
    // folder itself or one of its descendants.
    bool moveFolder(const QModelIndex& folder, const QModelIndex& newParent);
    // Moves the contacts into the folder, in the given order, and commits once.
    void moveContacts(const QList<int>& contactIds, int folderId);

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(Node* node, int column = 0) const;
    void ensureLoaded(Node* node) const;
    void ensureChildren(Node* node) const;
    int countChildren(int cd) const;
    static void renumber(Node* parent);

    Transaction& m_transaction;
    SingleValueHelper& m_helper;
    std::unique_ptr<Query> m_catQ; // CAT_Q: one level of folders
    std::unique_ptr<Query> m_catC; // CAT_C
    std::unique_ptr<Node> m_root;
    QIcon m_icon;
};
