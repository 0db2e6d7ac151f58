#include "personal/FolderTreeModel.h"

#include "data/Query.h"
#include "data/SingleValueHelper.h"
#include "data/Transaction.h"

#include <QMimeData>
#include <QSet>

struct FolderTreeModel::Node {
    Node* parent = nullptr;
    int row = 0; // position among the siblings
    FolderRow folder;
    bool loaded = false;
    int childCount = 0;
    bool childrenMade = false;
    std::vector<std::unique_ptr<Node>> children;
};

FolderTreeModel::FolderTreeModel(Transaction& transaction, SingleValueHelper& helper,
                                 QObject* parent)
    : QAbstractItemModel(parent), m_transaction(transaction), m_helper(helper),
      m_catQ(std::make_unique<Query>(transaction)), m_catC(std::make_unique<Query>(transaction)),
      m_root(std::make_unique<Node>()) {
    // One level of the tree at once, each folder with the number of its sub-folders, in the
    // order of TITLE as the database sorts it.
    m_catQ->setSql(QStringLiteral(
        "SELECT C.CD, C.TITLE, C.COM, (SELECT COUNT(S.CD) FROM CATE S WHERE S.PCD=C.CD) "
        "AS CHILDREN FROM CATE C WHERE C.PCD=:VL ORDER BY C.TITLE"));
    m_catC->setSql(QStringLiteral("SELECT COUNT(CD) FROM CATE WHERE PCD=:VL"));
    m_root->loaded = true;
    m_root->childrenMade = true;
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderTreeModel::indexOf(Node* node, int column) const {
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->row, column, node);
}

int FolderTreeModel::countChildren(int cd) const {
    m_catC->close();
    m_catC->setParam(QStringLiteral("VL"), cd);
    m_catC->open();
    return m_catC->eof() ? 0 : m_catC->value(0).toInt();
}

void FolderTreeModel::ensureLoaded(Node* node) const {
    // Nodes are made with their records by their parent's level statement.
    node->loaded = true;
}

void FolderTreeModel::ensureChildren(Node* node) const {
    if (node->childrenMade)
        return;
    node->childrenMade = true;
    if (node->childCount <= 0)
        return;
    node->children.reserve(size_t(node->childCount));
    m_catQ->close();
    m_catQ->setParam(QStringLiteral("VL"), node == m_root.get() ? 0 : node->folder.CD);
    for (m_catQ->open(); !m_catQ->eof(); m_catQ->next()) {
        auto child = std::make_unique<Node>();
        child->parent = node;
        child->row = int(node->children.size());
        child->loaded = true;
        child->folder.CD = m_catQ->value(0).toInt();
        child->folder.TITLE = m_catQ->value(1).toString();
        child->folder.COM = m_catQ->value(2).toString();
        // Folder 1 lists every contact; it never shows sub-folders.
        if (child->folder.CD != AllContactsFolder && child->folder.CD != 0)
            child->childCount = m_catQ->value(3).toInt();
        node->children.push_back(std::move(child));
    }
    m_catQ->close();
}

void FolderTreeModel::renumber(Node* parent) {
    for (size_t i = 0; i < parent->children.size(); ++i)
        parent->children[i]->row = int(i);
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= 2)
        return {};
    Node* p = nodeOf(parent);
    ensureChildren(p);
    if (row >= int(p->children.size()))
        return {};
    return createIndex(row, column, p->children[size_t(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    Node* p = nodeOf(parent);
    ensureChildren(p);
    return int(p->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
    return 2;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return false;
    Node* p = nodeOf(parent);
    ensureLoaded(p);
    return p->childrenMade ? !p->children.empty() : p->childCount > 0;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    Node* node = nodeOf(index);
    ensureLoaded(node);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        QString text = index.column() == 0 ? node->folder.TITLE : node->folder.COM;
        if (role == Qt::DisplayRole)
            text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
        return text;
    }
    case Qt::DecorationRole:
        return index.column() == 0 && !m_icon.isNull() ? QVariant(m_icon) : QVariant();
    case Qt::UserRole:
        return node->folder.CD;
    default:
        return {};
    }
}

QVariant FolderTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("Folders");
    if (section == 1)
        return QStringLiteral("Comments");
    return {};
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int cd = folderId(index);
    // Folder 1 stays a top-level folder: it is neither dragged nor a drop target.
    if (cd != AllContactsFolder)
        f |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return f;
}

QStringList FolderTreeModel::mimeTypes() const {
    return {FolderMimeType};
}

QMimeData* FolderTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty())
        return nullptr;
    auto* mime = new QMimeData;
    mime->setData(FolderMimeType, QByteArray::number(folderId(indexes.first())));
    return mime;
}

void FolderTreeModel::clear() {
    beginResetModel();
    m_root = std::make_unique<Node>();
    m_root->loaded = true;
    m_root->childrenMade = true;
    endResetModel();
}

void FolderTreeModel::restart() {
    beginResetModel();
    m_root = std::make_unique<Node>();
    m_root->loaded = true;
    m_root->childCount = countChildren(0);
    endResetModel();
}

void FolderTreeModel::walk(const std::function<bool(const QModelIndex&)>& visitor) const {
    std::function<bool(Node*)> visit = [&](Node* node) {
        ensureChildren(node);
        for (const auto& child : node->children) {
            ensureLoaded(child.get());
            if (!visitor(indexOf(child.get())))
                return false;
            if (!visit(child.get()))
                return false;
        }
        return true;
    };
    visit(m_root.get());
}

void FolderTreeModel::loadAll() {
    walk([](const QModelIndex&) { return true; });
}

QModelIndex FolderTreeModel::nextInOrder(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    Node* node = nodeOf(index);
    ensureChildren(node);
    if (!node->children.empty())
        return indexOf(node->children.front().get());
    for (Node* n = node; n && n != m_root.get(); n = n->parent) {
        Node* p = n->parent;
        if (n->row + 1 < int(p->children.size()))
            return indexOf(p->children[size_t(n->row + 1)].get());
    }
    return {};
}

QModelIndex FolderTreeModel::previousInOrder(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    Node* node = nodeOf(index);
    if (node->row == 0)
        return indexOf(node->parent);
    Node* n = node->parent->children[size_t(node->row - 1)].get();
    for (;;) {
        ensureChildren(n);
        if (n->children.empty())
            return indexOf(n);
        n = n->children.back().get();
    }
}

FolderRow FolderTreeModel::folderRow(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    Node* node = nodeOf(index);
    ensureLoaded(node);
    return node->folder;
}

void FolderTreeModel::setFolderRow(const QModelIndex& index, const FolderRow& row) {
    if (!index.isValid())
        return;
    Node* node = nodeOf(index);
    ensureLoaded(node);
    node->folder = row;
    emit dataChanged(indexOf(node, 0), indexOf(node, 1));
}

QModelIndex FolderTreeModel::findFolder(int cd) const {
    QModelIndex found;
    walk([&](const QModelIndex& index) {
        if (nodeOf(index)->folder.CD != cd)
            return true;
        found = index;
        return false;
    });
    return found;
}

QString FolderTreeModel::GetFolderPath(int cd) const {
    const QModelIndex found = findFolder(cd);
    if (!found.isValid())
        return {};
    QString path;
    for (Node* n = nodeOf(found); n != m_root.get(); n = n->parent)
        path = n->folder.TITLE + u'\\' + path;
    path.chop(1);
    return path;
}

QList<QPair<QString, int>> FolderTreeModel::folderMenuEntries() const {
    QList<QPair<QString, int>> entries;
    walk([&](const QModelIndex& index) {
        Node* node = nodeOf(index);
        if (node->folder.CD == AllContactsFolder)
            return true;
        int depth = 0;
        for (Node* n = node->parent; n != m_root.get(); n = n->parent)
            ++depth;
        entries.append({QString(4 * depth, u' ') + node->folder.TITLE, node->folder.CD});
        return true;
    });
    return entries;
}

bool FolderTreeModel::isSelfOrDescendant(const QModelIndex& candidate,
                                         const QModelIndex& folder) const {
    if (!candidate.isValid() || !folder.isValid())
        return false;
    Node* target = nodeOf(folder);
    for (Node* n = nodeOf(candidate); n && n != m_root.get(); n = n->parent)
        if (n == target)
            return true;
    return false;
}

FolderTreeModel::Place FolderTreeModel::rememberPlace(const QModelIndex& selected) const {
    Place place;
    if (!selected.isValid())
        return place;
    place.same = folderId(selected);
    const QModelIndex next = nextInOrder(selected);
    if (next.isValid() && next.parent() == selected.parent())
        place.next = folderId(next);
    const QModelIndex previous = previousInOrder(selected);
    place.previous = previous.isValid() ? folderId(previous) : place.same;
    return place;
}

bool FolderTreeModel::incrementalMatch(const QString& title, const QString& typed) {
    const qsizetype n = qMin(title.size(), typed.size());
    return QStringView(title).left(n).compare(QStringView(typed).left(n), Qt::CaseInsensitive) == 0;
}

QModelIndex FolderTreeModel::incrementalFind(const QString& typed, const QModelIndex& from) const {
    if (typed.isEmpty())
        return {};
    QList<QModelIndex> all;
    walk([&](const QModelIndex& index) {
        all.append(index);
        return true;
    });
    qsizetype start = 0;
    if (from.isValid())
        start = qMax<qsizetype>(0, all.indexOf(from.siblingAtColumn(0)));
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QModelIndex& candidate = all[(start + i) % all.size()];
        if (incrementalMatch(nodeOf(candidate)->folder.TITLE, typed))
            return candidate;
    }
    return {};
}

void FolderTreeModel::deleteFolder(const QModelIndex& index) {
    if (!index.isValid())
        return;
    loadAll();
    const int cd = folderId(index);
    if (cd == AllContactsFolder)
        return;
    // Every folder below it, at any depth, read from the table itself.
    QList<int> doomed{cd};
    QSet<int> seen{cd};
    Query below(m_transaction);
    below.setSql(QStringLiteral("SELECT CD FROM CATE WHERE PCD=:VL"));
    for (qsizetype i = 0; i < doomed.size(); ++i) {
        below.setParam(QStringLiteral("VL"), doomed[i]);
        for (below.open(); !below.eof(); below.next()) {
            const int child = below.value(0).toInt();
            if (child != AllContactsFolder && !seen.contains(child)) {
                seen.insert(child);
                doomed.append(child);
            }
        }
        below.close();
    }
    for (qsizetype i = doomed.size() - 1; i >= 0; --i)
        m_helper.ExecStatement(QStringLiteral("DELETE FROM CATE WHERE CD=") +
                               QString::number(doomed[i]));
    Node* node = nodeOf(index);
    Node* p = node->parent;
    const int row = node->row;
    beginRemoveRows(indexOf(p), row, row);
    p->children.erase(p->children.begin() + row);
    renumber(p);
    endRemoveRows();
    m_transaction.CommitRetaining();
}

bool FolderTreeModel::moveFolder(const QModelIndex& folder, const QModelIndex& newParent) {
    if (!folder.isValid())
        return false;
    loadAll();
    if (isSelfOrDescendant(newParent, folder))
        return false;
    Node* node = nodeOf(folder);
    Node* target = nodeOf(newParent);
    const int newPcd = newParent.isValid() ? target->folder.CD : 0;
    m_helper.ExecStatement(
        QStringLiteral("UPDATE CATE SET PCD=%1 WHERE CD=%2").arg(newPcd).arg(node->folder.CD));
    Node* oldParent = node->parent;
    const int from = node->row;
    int to = int(target->children.size());
    if (oldParent == target && from == to - 1) {
        // Already last under the same parent: nothing moves.
    } else {
        beginMoveRows(indexOf(oldParent), from, from, indexOf(target), to);
        std::unique_ptr<Node> owned = std::move(oldParent->children[size_t(from)]);
        oldParent->children.erase(oldParent->children.begin() + from);
        owned->parent = target;
        target->children.push_back(std::move(owned));
        renumber(oldParent);
        renumber(target);
        endMoveRows();
    }
    target->childCount = int(target->children.size());
    m_transaction.CommitRetaining();
    return true;
}

void FolderTreeModel::moveContacts(const QList<int>& contactIds, int folderId) {
    for (int cd : contactIds)
        m_helper.ExecStatement(
            QStringLiteral("UPDATE CONT SET CTCD=%1 WHERE CD=%2").arg(folderId).arg(cd));
    m_transaction.CommitRetaining();
}
