#pragma once

#include "personal/ContactRow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class Query;
class Transaction;

// The contact list VST_E as an item model: its statements QD and QC give the listing and its
// count; rows are copied from the open cursor QD the first time they are needed, so a long
// listing shows its first rows without reading the rest.
class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QString ContactMimeType = QStringLiteral("application/x-tk-contacts");

    explicit ContactListModel(Transaction& transaction, QObject* parent = nullptr);
    ~ContactListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

    void setContactIcon(const QIcon& icon) { m_icon = icon; }

    // Sets the listing statement (QD) and its count statement (QC) without running them.
    void setStatements(const QString& listSql, const QString& countSql);
    QString listSql() const;
    QString countSql() const;
    // Lists one folder's contacts: every contact for folder 1.
    void ListContacts(int folderId);
    // Runs the current statements again.
    void ListContacts();
    // Empties the list.
    void clear();
    // The count QC gave for the current listing.
    int count() const { return m_count; }

    // The row's record, copied from the cursor first when needed.
    const ContactRow& row(int i) const;
    // Writes a saved contact into a listed row.
    void setRow(int i, const ContactRow& row);
    // Removes listed rows (ascending or not); the remaining rows renumber.
    void removeListedRows(QList<int> rows);

    // Search words and field choice of the bold highlighting.
    void setSearchWords(const QStringList& words);
    QStringList searchWords() const { return m_words; }
    void setFieldChoice(int choice);
    int fieldChoice() const { return m_fieldChoice; }

    // How many records have been copied from the cursor so far.
    int fetchedCount() const { return int(m_rows.size()); }

signals:
    // A database error while filling rows on demand; the list keeps what it has.
    void fetchFailed(const QString& message) const;

private:
    void fetchUpTo(int i) const;
    void readCurrent(ContactRow& row) const;
    void closeCursor() const;

    Transaction& m_transaction;
    std::unique_ptr<Query> m_qd; // QD
    std::unique_ptr<Query> m_qc; // QC
    mutable std::vector<ContactRow> m_rows;
    mutable int m_consumed = 0; // records read from the cursor
    mutable std::array<int, 17> m_fieldIndex{};
    int m_count = 0;
    int m_listed = 0; // rows of the listing still in the list
    QStringList m_words;
    int m_fieldChoice = 0;
    QIcon m_icon;
    ContactRow m_empty;
};
