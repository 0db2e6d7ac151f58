#pragma once

#include "contacts/ContactRow.h"

#include <QList>
#include <QString>

class Transaction;

// The personal report of a folder, for printed phone lists made without the window: every
// contact of the folder and of the folders below it, in the contact list's order, written from
// the personal report template and laid out as a PDF by the report window's own code.
class FolderReport {
public:
    explicit FolderReport(Transaction& transaction);

    // The folder named by its titles from the top, separated by "/" ("Customers/Lahore");
    // an empty path is folder 1, "All Contacts". -1 when there is no such folder.
    int folderByPath(const QString& path);
    // Folder 1 holds every contact.
    QList<ContactRow> contacts(int folder);

    // Runs the template over the rows into an RTF file in a temporary folder (the program's
    // own report file is left alone) and writes the PDF. Raises TReporterException,
    // ReportFileError.
    static void writePdf(const QList<ContactRow>& rows, const QString& templatePath,
                         const QString& pdfPath);

private:
    Transaction& m_transaction;
};
