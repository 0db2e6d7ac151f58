#include "business/BusinessListModel.h"

#include "business/BusinessReply.h"
#include "directory/DirectoryColumns.h"

#include <QColor>

BusinessListModel::BusinessListModel(QObject* parent) : QAbstractTableModel(parent) {}

int BusinessListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BusinessListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DirectoryColumns::Count;
}

QVariant BusinessListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const BusinessRow& r = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return DirectoryColumns::displayText(r, index.row(), index.column());
    case Qt::TextAlignmentRole:
        return DirectoryColumns::alignment(index.column());
    case Qt::DecorationRole:
        return index.column() == 1 && !m_icon.isNull() ? QVariant(m_icon) : QVariant();
    case Qt::BackgroundRole:
        // A colour that is not "#RRGGBB" leaves the row in the list's own colour.
        if (BusinessReply::isValidColour(r.RowColour))
            return QColor::fromString(r.RowColour);
        return {};
    case Qt::UserRole:
        return r.CD;
    default:
        return {};
    }
}

QVariant BusinessListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return DirectoryColumns::header(section, orientation, role);
}

Qt::ItemFlags BusinessListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void BusinessListModel::clear() {
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void BusinessListModel::appendRows(const QVector<BusinessRow>& rows) {
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
    m_rows += rows;
    endInsertRows();
}
