#pragma once

#include "contacts/ContactRow.h"

#include <QByteArray>

// Writes contacts as vCard 4.0 or 3.0: UTF-8, CRLF line ends, lines folded at 75 octets
// without splitting a character. Every column goes out (ORG and FN for title and person, ADR
// with the city as locality, one TEL per number with X-UAN for U.A.N, CATEGORIES for the
// business, NOTE for the description), so reading the card back gives every column's text.
class VCardWriter {
public:
    enum class Version { V4, V3 };

    static QByteArray card(const ContactRow& row, const QString& cityTitle, Version version);
    // A content line folded at 75 octets: continuation lines start with one blank.
    static QByteArray folded(const QByteArray& line);
    // Text with \ , ; and line breaks escaped.
    static QString escaped(const QString& text);
};
