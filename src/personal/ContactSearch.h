#pragma once

#include <QString>
#include <QStringList>

// Builds the statements of the personal contact list: folder listings, searches by one column
// or by all columns (WRD), and the bold-highlighting rule of the search words.
class ContactSearch {
public:
    // The searched expression of a field-choice item: "UPPER(<column>)" for 1 to 13, else "WRD".
    static QString SearchColumn(int index);

    // The search words of a search text: spaces become "%", letters of every script upper case
    // as the database's UPPER makes them, the text split at "%" with empty pieces dropped.
    static QStringList searchWords(const QString& text);
    // The LIKE pattern of a search text as an SQL literal: "%" + converted text + "%", quoted.
    static QString pattern(const QString& text);

    // Listing of one folder; folder 1 lists every contact.
    static QString folderListSql(int folderId);
    static QString folderCountSql(int folderId);
    // Search in the column of the field choice with an already quoted pattern.
    static QString searchListSql(int fieldIndex, const QString& quotedPattern);
    static QString searchCountSql(int fieldIndex, const QString& quotedPattern);
    // The keys (CD) of the search listing in its order. `fewHits`: the matching rows are found
    // by a scan and sorted, equal titles in the order the name index keeps them (by record
    // number); otherwise the name index is walked, which is quicker when most rows match.
    static QString searchKeysSql(int fieldIndex, const QString& quotedPattern, bool fewHits);

    // Whether a cell is painted bold: the search words exist, the cell is not in column 0, the
    // field choice is "All" (0) or the cell's own column, and the cell's text in upper case
    // holds one of the words.
    static bool isHighlighted(const QString& cellText, int column, int fieldChoice,
                              const QStringList& words);

private:
    static QString folderCondition(int folderId);
};
