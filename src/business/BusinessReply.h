#pragma once

#include "business/BusinessRow.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// A reply of the directory search split into its parts: the status text before ">", then the
// records, each ended by byte 30, their fields separated by byte 31. Whatever follows the last
// byte 30 is ignored. Bytes are Latin-1.
class BusinessReply {
public:
    static constexpr char RecordSeparator = 30;
    static constexpr char FieldSeparator = 31;
    static constexpr int FieldCount = 16;
    // The most rows taken from a reply; the records beyond are only counted.
    static constexpr int MaxRows = 10000;

    // The status text: the whole reply when it has no ">".
    QString status;
    // The rows read, in reply order. When a record's identifier or city is not a decimal
    // integer, reading stops there: the rows before it stay and `error` holds the message.
    // An empty record (two separators in a row) is skipped.
    QVector<BusinessRow> rows;
    // The records the reply held (the rows, and any beyond MaxRows).
    int records = 0;
    QString error;

    static BusinessReply parse(const QByteArray& reply);
    // Fills a row from one record. A record short of 16 fields leaves the missing texts empty
    // and missing numbers 0; fields beyond the 16th are ignored. Answers false with the
    // conversion message when field 0 or 1 is not a decimal integer.
    static bool readRecord(const QByteArray& record, BusinessRow& row, QString& error);
    // Whether a colour is "#" followed by six hexadecimal digits.
    static bool isValidColour(const QString& colour);
};
