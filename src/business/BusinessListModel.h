#pragma once

#include "business/BusinessRow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QVector>

// The business result list VST_E as an item model: the rows of the last search, each shown in
// the directory columns and painted in its own colour when the service gave a valid one.
class BusinessListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BusinessListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setRowIcon(const QIcon& icon) { m_icon = icon; }

    void clear();
    // Appends rows at the end of the list.
    void appendRows(const QVector<BusinessRow>& rows);
    const BusinessRow& row(int i) const { return m_rows.at(i); }

private:
    QVector<BusinessRow> m_rows;
    QIcon m_icon;
};
