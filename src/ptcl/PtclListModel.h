#pragma once

#include "ptcl/PtclRow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>

// The PTCL result list VST_E as an item model: position, phone (with the listing picture),
// title and address of every entry the last search found.
class PtclListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Columns = 4;

    explicit PtclListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The width of a column in pixels.
    static int columnWidth(int column);
    void setRowIcon(const QIcon& icon) { m_icon = icon; }

    void clear();
    void setRows(const QList<PtclRow>& rows);
    const PtclRow& row(int i) const { return m_rows.at(i); }

private:
    QList<PtclRow> m_rows;
    QIcon m_icon;
};
