#include "personal/ContactListModel.h"

#include "data/DatabaseError.h"
#include "data/Query.h"
#include "directory/DirectoryColumns.h"
#include "personal/ContactSearch.h"

#include <QFont>
#include <QHash>
#include <QMimeData>
#include <algorithm>
#include <malloc.h>

namespace {
// The record's fields in ContactRow order.
const char* const FieldNames[17] = {"CTCD", "CD",  "CCD", "HOT", "CNAM", "PNAM",
                                    "PDSG", "ADR", "ZCD", "PHN", "MOB",  "UAN",
                                    "FAX",  "EML", "WEB", "BTP", "BDS"};
} // namespace

ContactListModel::ContactListModel(Transaction& transaction, QObject* parent)
    : QAbstractTableModel(parent), m_transaction(transaction),
      m_qd(std::make_unique<Query>(transaction)), m_qc(std::make_unique<Query>(transaction)),
      m_byKey(std::make_unique<Query>(transaction)) {
    m_fieldIndex.fill(-1);
    m_byKeyIndex.fill(-1);
    QStringList keys;
    for (int k = 0; k < ContactRowStore::ChunkRows; ++k)
        keys << QStringLiteral(":K%1").arg(k);
    m_byKey->setSql(QStringLiteral("SELECT * FROM CONT WHERE CD IN (") + keys.join(u',') + u')');
}

ContactListModel::~ContactListModel() = default;

int ContactListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_receivingKeys ? m_store.appendedListed() : m_store.size();
}

int ContactListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DirectoryColumns::Count;
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        return DirectoryColumns::displayText(cached(index.row()), index.row(), column);
    }
    case Qt::FontRole: {
        if (m_words.isEmpty() || column == 0)
            return {};
        if (!ContactSearch::isHighlighted(DirectoryColumns::cellText(cached(index.row()), column),
                                          column, m_fieldChoice, m_words))
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::TextAlignmentRole:
        return DirectoryColumns::alignment(column);
    case Qt::DecorationRole:
        return column == 1 && !m_icon.isNull() ? QVariant(m_icon) : QVariant();
    case Qt::UserRole:
        return cached(index.row()).CD;
    default:
        return {};
    }
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return DirectoryColumns::header(section, orientation, role);
}

Qt::ItemFlags ContactListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList ContactListModel::mimeTypes() const {
    return {ContactMimeType};
}

QMimeData* ContactListModel::mimeData(const QModelIndexList& indexes) const {
    // The drop reads the list's selection itself; the data only names the kind of drag.
    auto* mime = new QMimeData;
    mime->setData(ContactMimeType, QByteArray::number(indexes.size()));
    return mime;
}

void ContactListModel::setStatements(const QString& listSql, const QString& countSql) {
    closeCursor();
    m_qc->close();
    m_qd->setSql(listSql);
    m_qc->setSql(countSql);
}

QString ContactListModel::listSql() const {
    return m_qd->sql();
}

QString ContactListModel::countSql() const {
    return m_qc->sql();
}

void ContactListModel::ListContacts(int folderId) {
    setStatements(ContactSearch::folderListSql(folderId), ContactSearch::folderCountSql(folderId));
    ListContacts();
}

void ContactListModel::ListContacts() {
    clear();
    m_qc->close();
    if (m_qd->sql().isEmpty())
        return;
    m_qc->open();
    const int count = m_qc->eof() ? 0 : m_qc->value(0).toInt();
    m_qc->close();
    m_qd->open();
    fieldIndexes(*m_qd, m_fieldIndex);
    startListing(count);
}

void ContactListModel::showKeys(const QString& listSql, const QString& countSql, int count,
                                const std::vector<int>& keys) {
    setStatements(listSql, countSql);
    clear();
    m_count = std::max(count, int(keys.size()));
    m_store.reset(m_count);
    m_lastUse.assign(size_t(m_store.chunkCount()), 0);
    m_receivingKeys = m_count > 0;
    appendKeys(keys);
}

void ContactListModel::appendKeys(const std::vector<int>& keys) {
    if (!m_receivingKeys)
        return;
    const int first = rowCount();
    const int n = std::min(int(keys.size()), m_store.capacity() - m_store.appended());
    if (n > 0) {
        // Every chunk is read by key when first needed; one already read gives up its records
        // when new keys join it, so its rows are read again, the new ones with them.
        beginInsertRows({}, first, first + n - 1);
        for (int i = 0; i < n; ++i)
            m_store.appendKey(keys[size_t(i)]);
        endInsertRows();
        m_cachedRow = -1;
        if (first > 0)
            emit dataChanged(index(std::max(0, first - ContactRowStore::ChunkRows), 0),
                             index(first - 1, DirectoryColumns::Count - 1));
    }
    m_receivingKeys = m_store.appended() < m_store.capacity();
}

void ContactListModel::startListing(int count) {
    m_count = count;
    if (count <= 0)
        return;
    beginInsertRows({}, 0, count - 1);
    m_store.reset(count);
    m_lastUse.assign(size_t(m_store.chunkCount()), 0);
    endInsertRows();
}

void ContactListModel::closeCursor() const {
    m_qd->close();
}

void ContactListModel::clear() {
    beginResetModel();
    closeCursor();
    const bool large = m_store.appended() > 4 * ContactRowStore::ChunkRows;
    m_store.reset(0);
    std::vector<quint64>().swap(m_lastUse);
    m_cachedRow = -1;
    m_cache = {};
    m_count = 0;
    m_receivingKeys = false;
    endResetModel();
    // Give the memory of a long listing back to the system now, not at some later allocation.
    if (large)
        malloc_trim(0);
}

void ContactListModel::fieldIndexes(const Query& q, FieldIndex& index) {
    for (int i = 0; i < 17; ++i)
        index[size_t(i)] = q.fieldIndex(QString::fromLatin1(FieldNames[i]));
}

void ContactListModel::readCurrent(const Query& q, const FieldIndex& index, ContactRow& r) {
    const auto text = [&](int field) {
        const int i = index[size_t(field)];
        return i < 0 ? QString() : q.value(i).toString();
    };
    const auto number = [&](int field) {
        const int i = index[size_t(field)];
        return i < 0 ? 0 : q.value(i).toInt();
    };
    r.CTCD = number(0);
    r.CD = number(1);
    r.CCD = number(2);
    r.HOT = number(3);
    r.CNAM = text(4);
    r.PNAM = text(5);
    r.PDSG = text(6);
    r.ADR = text(7);
    r.ZCD = text(8);
    r.PHN = text(9);
    r.MOB = text(10);
    r.UAN = text(11);
    r.FAX = text(12);
    r.EML = text(13);
    r.WEB = text(14);
    r.BTP = text(15);
    r.BDS = text(16);
}

void ContactListModel::touch(int chunk) const {
    m_lastUse[size_t(chunk)] = ++m_uses;
}

void ContactListModel::releaseOldChunks() const {
    while (m_store.loadedChunks() > m_maxLoadedChunks) {
        int oldest = -1;
        for (int c = 0; c < m_store.chunkCount(); ++c)
            if (m_store.isChunkLoaded(c) && !m_store.isFilling(c) &&
                (oldest < 0 || m_lastUse[size_t(c)] < m_lastUse[size_t(oldest)]))
                oldest = c;
        if (oldest < 0)
            return;
        m_store.release(oldest);
        m_cachedRow = -1;
    }
}

void ContactListModel::loadChunk(int chunk) const {
    const std::vector<int> keys = m_store.chunkKeys(chunk);
    for (int k = 0; k < ContactRowStore::ChunkRows; ++k)
        m_byKey->setParam(QStringLiteral("K%1").arg(k), k < int(keys.size()) ? keys[size_t(k)] : 0);
    QHash<int, ContactRow> found;
    found.reserve(qsizetype(keys.size()));
    m_byKey->open();
    if (m_byKeyIndex[0] < 0)
        fieldIndexes(*m_byKey, m_byKeyIndex);
    for (; !m_byKey->eof(); m_byKey->next()) {
        ContactRow r;
        readCurrent(*m_byKey, m_byKeyIndex, r);
        found.insert(r.CD, r);
    }
    m_byKey->close();
    std::vector<ContactRow> rows;
    rows.reserve(keys.size());
    for (int key : keys) {
        // A record that no longer exists comes back with empty fields.
        ContactRow r = found.value(key);
        r.CD = key;
        rows.push_back(std::move(r));
    }
    m_store.load(chunk, rows);
}

void ContactListModel::fetchUpTo(int i) const {
    if (i < 0 || i >= rowCount())
        return;
    const int wanted = m_store.original(i);
    while (m_store.appended() <= wanted) {
        ContactRow r;
        // A record that no longer exists leaves its row with empty fields.
        if (m_qd->isOpen() && !m_qd->eof()) {
            try {
                readCurrent(*m_qd, m_fieldIndex, r);
                m_qd->next();
            } catch (const DatabaseError& error) {
                closeCursor();
                emit fetchFailed(error.message());
            }
        }
        const int chunk = m_store.appended() / ContactRowStore::ChunkRows;
        m_store.append(r);
        if (m_store.appended() % ContactRowStore::ChunkRows == 1) {
            touch(chunk);
            releaseOldChunks();
        }
    }
    const int chunk = wanted / ContactRowStore::ChunkRows;
    if (!m_store.isChunkLoaded(chunk)) {
        try {
            loadChunk(chunk);
        } catch (const DatabaseError& error) {
            m_byKey->close();
            emit fetchFailed(error.message());
        }
    }
    touch(chunk);
    releaseOldChunks();
}

const ContactRow& ContactListModel::cached(int i) const {
    if (i != m_cachedRow || !m_store.isLoaded(i)) {
        m_cache = row(i);
        m_cachedRow = i;
    }
    return m_cache;
}

ContactRow ContactListModel::row(int i) const {
    if (i < 0 || i >= rowCount())
        return {};
    fetchUpTo(i);
    return m_store.row(i);
}

void ContactListModel::setRow(int i, const ContactRow& r) {
    if (i < 0 || i >= rowCount())
        return;
    fetchUpTo(i);
    m_store.set(i, r);
    m_cachedRow = -1;
    emit dataChanged(index(i, 0), index(i, DirectoryColumns::Count - 1));
}

void ContactListModel::removeListedRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;
    // The rows up to the last one removed are copied first: the cursor no longer gives the
    // deleted records.
    fetchUpTo(rows.first());
    m_cachedRow = -1;
    // Descending runs of neighbouring rows are removed together.
    qsizetype i = 0;
    while (i < rows.size()) {
        const int last = rows[i];
        int first = last;
        while (i + 1 < rows.size() && rows[i + 1] == first - 1)
            first = rows[++i];
        ++i;
        if (first < 0 || last >= rowCount())
            continue;
        beginRemoveRows({}, first, last);
        std::vector<int> run;
        for (int r = first; r <= last; ++r)
            run.push_back(r);
        m_store.remove(run);
        endRemoveRows();
    }
    // Row numbers in column 0 follow the new positions.
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
}

void ContactListModel::setSearchWords(const QStringList& words) {
    m_words = words;
    if (rowCount() > 0)
        emit dataChanged(index(0, 1), index(rowCount() - 1, DirectoryColumns::Count - 1),
                         {Qt::FontRole});
}

void ContactListModel::setFieldChoice(int choice) {
    m_fieldChoice = choice;
    if (rowCount() > 0)
        emit dataChanged(index(0, 1), index(rowCount() - 1, DirectoryColumns::Count - 1),
                         {Qt::FontRole});
}
