#include "ptcl/PtclListModel.h"

namespace {
struct Column {
    const char* title;
    int width;
};
// The phone column is wider than the design's 100 pixels so a ten-digit number fits beside its
// picture.
constexpr Column Layout[PtclListModel::Columns] = {
    {"S.No", 40}, {"Phone", 130}, {"TITLE", 250}, {"Address", 400}};
} // namespace

PtclListModel::PtclListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PtclListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PtclListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant PtclListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const PtclRow& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return index.row() + 1;
        case 1:
            return row.PHN;
        case 2:
            return row.CNAM;
        default:
            return row.ADR;
        }
    case Qt::DecorationRole:
        return index.column() == 1 ? QVariant(m_icon) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant PtclListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns)
        return {};
    return QString::fromLatin1(Layout[section].title);
}

int PtclListModel::columnWidth(int column) {
    return column >= 0 && column < Columns ? Layout[column].width : 0;
}

void PtclListModel::clear() {
    setRows({});
}

void PtclListModel::setRows(const QList<PtclRow>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}
