#pragma once

#include "contacts/ContactRow.h"
#include "data/Query.h"
#include "interchange/ImportSummary.h"

#include <QHash>

class ContactSource;
class DataSetEditor;
class Transaction;

// Imports the cards of a file into one folder through the contact editor's editing object, in
// slices of work that each end with a CommitRetaining, so a window stays responsive between
// slices and a cancelled import keeps exactly the contacts it finished. Each contact gets the
// stored-text rules of the editor (title in capitals without backslashes, single-line fields
// on one line, empty fields NULL, values cut to their column at a character boundary); a card
// whose title and first phone number (digits only) match a contact of the folder is skipped.
class ContactImporter {
public:
    ContactImporter(DataSetEditor& cdt, Transaction& transaction, int folderId,
                    ContactSource& source);

    // Imports cards for about `budgetMs` milliseconds (at least one card), then commits.
    // Answers false once the file is read to its end.
    bool step(int budgetMs);
    // Runs every slice to the end.
    void run();
    // Ends early: what was imported stays, the rest of the file is not read.
    void cancel();

    // Counts so far; unreadable includes the cards the reader skipped.
    ImportSummary summary() const;
    qint64 position() const;

    // The row as it is stored: the editor's text rules, each text cut to its column's size.
    // Answers whether anything was cut.
    static bool storedForm(ContactRow& row, DataSetEditor& cdt);

private:
    bool isDuplicate(const ContactRow& row);
    void insert(const ContactRow& row);
    void loadCities();
    int cityOf(const QString& name) const;

    DataSetEditor& m_cdt;
    Transaction& m_transaction;
    int m_folderId;
    ContactSource& m_source;
    Query m_duplicates;
    QHash<QString, int> m_cities;
    ImportSummary m_summary;
    bool m_done = false;
};
