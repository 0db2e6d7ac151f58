#pragma once

#include "contacts/ContactRow.h"

#include <QList>

class DataSetEditor;
class Transaction;

// Copies listings into a personal folder through the contact editor's editing object CDT, so
// each copy is inserted exactly as a contact made in the editor, with a new GEN_CONT identifier.
class CopyToFolder {
public:
    // Inserts one contact per row, in the given order, into the folder, then commits. A
    // database error ends the copy and propagates; rows stored before it stay pending. Texts
    // longer than their column are cut to its size.
    static void copy(DataSetEditor& cdt, Transaction& transaction, int folderId,
                     const QList<ContactRow>& rows);
};
