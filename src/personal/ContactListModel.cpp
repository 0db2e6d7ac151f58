#include "personal/ContactListModel.h"

#include "data/DatabaseError.h"
#include "data/Query.h"
#include "directory/DirectoryColumns.h"
#include "personal/ContactSearch.h"

#include <QFont>
#include <QMimeData>
#include <algorithm>

namespace {
// The record's fields in ContactRow order.
const char* const FieldNames[17] = {"CTCD", "CD",  "CCD", "HOT", "CNAM", "PNAM",
                                    "PDSG", "ADR", "ZCD", "PHN", "MOB",  "UAN",
                                    "FAX",  "EML", "WEB", "BTP", "BDS"};

constexpr int BufferGrowth = 1000;
} // namespace

ContactListModel::ContactListModel(Transaction& transaction, QObject* parent)
    : QAbstractTableModel(parent), m_transaction(transaction),
      m_qd(std::make_unique<Query>(transaction)), m_qc(std::make_unique<Query>(transaction)) {
    m_fieldIndex.fill(-1);
}

ContactListModel::~ContactListModel() = default;

int ContactListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_listed;
}

int ContactListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DirectoryColumns::Count;
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_listed)
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        return DirectoryColumns::displayText(row(index.row()), index.row(), column);
    }
    case Qt::FontRole: {
        if (m_words.isEmpty() || column == 0)
            return {};
        if (!ContactSearch::isHighlighted(DirectoryColumns::cellText(row(index.row()), column),
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
        return row(index.row()).CD;
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
    for (int i = 0; i < 17; ++i)
        m_fieldIndex[size_t(i)] = m_qd->fieldIndex(QString::fromLatin1(FieldNames[i]));
    m_count = count;
    if (count > 0) {
        beginInsertRows({}, 0, count - 1);
        m_listed = count;
        endInsertRows();
    }
}

void ContactListModel::closeCursor() const {
    m_qd->close();
}

void ContactListModel::clear() {
    beginResetModel();
    closeCursor();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_consumed = 0;
    m_count = 0;
    m_listed = 0;
    endResetModel();
}

void ContactListModel::readCurrent(ContactRow& r) const {
    const auto text = [this](int field) {
        const int i = m_fieldIndex[size_t(field)];
        return i < 0 ? QString() : m_qd->value(i).toString();
    };
    const auto number = [this](int field) {
        const int i = m_fieldIndex[size_t(field)];
        return i < 0 ? 0 : m_qd->value(i).toInt();
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

void ContactListModel::fetchUpTo(int i) const {
    while (int(m_rows.size()) <= i) {
        if (m_rows.size() == m_rows.capacity())
            m_rows.reserve(m_rows.size() + BufferGrowth);
        ContactRow r;
        // A record that no longer exists leaves its row with empty fields.
        if (m_qd->isOpen() && !m_qd->eof()) {
            try {
                readCurrent(r);
                m_qd->next();
            } catch (const DatabaseError& error) {
                closeCursor();
                emit fetchFailed(error.message());
            }
        }
        ++m_consumed;
        m_rows.push_back(std::move(r));
    }
}

const ContactRow& ContactListModel::row(int i) const {
    if (i < 0 || i >= m_listed)
        return m_empty;
    fetchUpTo(i);
    return m_rows[size_t(i)];
}

void ContactListModel::setRow(int i, const ContactRow& r) {
    if (i < 0 || i >= m_listed)
        return;
    fetchUpTo(i);
    m_rows[size_t(i)] = r;
    emit dataChanged(index(i, 0), index(i, DirectoryColumns::Count - 1));
}

void ContactListModel::removeListedRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;
    fetchUpTo(rows.first());
    // Descending runs of neighbouring rows are removed together.
    qsizetype i = 0;
    while (i < rows.size()) {
        const int last = rows[i];
        int first = last;
        while (i + 1 < rows.size() && rows[i + 1] == first - 1)
            first = rows[++i];
        ++i;
        if (first < 0 || last >= m_listed)
            continue;
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        m_listed -= last - first + 1;
        endRemoveRows();
    }
    // Row numbers in column 0 follow the new positions.
    if (m_listed > 0)
        emit dataChanged(index(0, 0), index(m_listed - 1, 0), {Qt::DisplayRole});
}

void ContactListModel::setSearchWords(const QStringList& words) {
    m_words = words;
    if (m_listed > 0)
        emit dataChanged(index(0, 1), index(m_listed - 1, DirectoryColumns::Count - 1),
                         {Qt::FontRole});
}

void ContactListModel::setFieldChoice(int choice) {
    m_fieldChoice = choice;
    if (m_listed > 0)
        emit dataChanged(index(0, 1), index(m_listed - 1, DirectoryColumns::Count - 1),
                         {Qt::FontRole});
}
