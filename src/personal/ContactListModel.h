#pragma once

#include "contacts/ContactRow.h"
#include "personal/ContactRowStore.h"

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
// listing shows its first rows without reading the rest. Rows far from where the list was last
// read are released and read again by key when they are needed once more; a listing can also
// be given as its keys alone (a search run elsewhere).
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
    // Shows a listing of the statements already run elsewhere, given as its keys in listing
    // order: `count` rows in all, the first of them given here and the rest by appendKeys.
    // Until every key has come, the list holds the rows whose keys came.
    void showKeys(const QString& listSql, const QString& countSql, int count,
                  const std::vector<int>& keys);
    // The next keys of the listing showKeys began; ignored once the listing is complete or
    // replaced.
    void appendKeys(const std::vector<int>& keys);
    // Empties the list.
    void clear();
    // The count QC gave for the current listing.
    int count() const { return m_count; }

    // A copy of the row's record, copied from the cursor or read by key first when needed.
    ContactRow row(int i) const;
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
    int fetchedCount() const { return m_store.appended(); }
    // How many chunks of rows hold their records now (the others hold only keys).
    int loadedChunks() const { return m_store.loadedChunks(); }
    // At most this many chunks keep their records (48 by default, about 12,000 rows); the
    // least recently read go first.
    void setMaxLoadedChunks(int chunks) { m_maxLoadedChunks = qMax(1, chunks); }

signals:
    // A database error while filling rows on demand; the list keeps what it has.
    void fetchFailed(const QString& message) const;

private:
    // Makes row i's record available: from the cursor up to it, else by key.
    void fetchUpTo(int i) const;
    using FieldIndex = std::array<int, 17>;
    static void fieldIndexes(const Query& q, FieldIndex& index);
    static void readCurrent(const Query& q, const FieldIndex& index, ContactRow& row);
    void loadChunk(int chunk) const;
    void touch(int chunk) const;
    void releaseOldChunks() const;
    void closeCursor() const;
    void startListing(int count);
    const ContactRow& cached(int i) const;

    Transaction& m_transaction;
    std::unique_ptr<Query> m_qd;    // QD
    std::unique_ptr<Query> m_qc;    // QC
    std::unique_ptr<Query> m_byKey; // a chunk's records by key
    mutable ContactRowStore m_store;
    mutable std::vector<quint64> m_lastUse; // per chunk
    mutable quint64 m_uses = 0;
    FieldIndex m_fieldIndex{};
    mutable FieldIndex m_byKeyIndex{};
    // The last row decoded for the list, as painting reads a row's cells one after another.
    mutable int m_cachedRow = -1;
    mutable ContactRow m_cache;
    int m_count = 0;
    bool m_receivingKeys = false;
    int m_maxLoadedChunks = 48;
    QStringList m_words;
    int m_fieldChoice = 0;
    QIcon m_icon;
};
