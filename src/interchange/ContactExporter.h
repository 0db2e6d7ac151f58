#pragma once

#include "contacts/ContactRow.h"
#include "data/Query.h"
#include "interchange/FolderPaths.h"

#include <QHash>
#include <QList>

class QIODevice;

// Writes the contacts of folders (each with the folders below it), of a selection, or all of
// them, into a vCard 4.0, vCard 3.0 or CSV file, reading one row at a time from the database,
// in slices so a window stays responsive.
class ContactExporter {
public:
    enum class Format { VCard4, VCard3, Csv };

    ContactExporter(Transaction& transaction, Format format, QIODevice& out);

    // ".csv" gives CSV, anything else vCard 4.0.
    static Format formatForFile(const QString& fileName);

    // Folder 1 stands for every contact.
    void addFolder(int folderId);
    void addContacts(const QList<int>& contactIds);
    void addAll();

    // Writes rows for about `budgetMs` milliseconds; false once everything is written.
    bool step(int budgetMs);
    void run();
    int written() const { return m_written; }
    int total() const; // contacts to write, counted when asked

    static ContactRow rowOf(const Query& query);
    // The columns rowOf reads, for a SELECT.
    static QString columns();

private:
    struct Part {
        QString where; // condition on CONT, with integers only
    };
    bool openNext();
    void writeRow(const ContactRow& row);

    Transaction& m_transaction;
    Format m_format;
    QIODevice& m_out;
    FolderPaths m_folders;
    QHash<int, QString> m_cities;
    QList<Part> m_parts;
    Query m_query;
    bool m_started = false;
    int m_written = 0;
};
