#pragma once

#include "contacts/ContactRow.h"

#include <QByteArray>
#include <QStringList>

// Writes contacts as CSV for spreadsheet programs: UTF-8 with a byte order mark (so Urdu reads
// right), comma separated, CRLF between records, a header of the contact editor's captions
// with the folder's path first and the city after the title.
class CsvWriter {
public:
    static QByteArray header();
    static QByteArray record(const ContactRow& row, const QString& folderPath,
                             const QString& cityTitle);
    static QByteArray field(const QString& text);
};
