#pragma once

#include "reports/ReportField.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// Turns aggregate values and the engine's built-in words into text, by field kind and in the
// user's locale (QLocale()).
class ValueFormatter {
public:
    // Text of a sum, average, minimum or maximum of the field; empty for null.
    static QString formatAggregate(const ReportField& field, const QVariant& value);

    static QString shortDate(const QDate& date);
    static QString longTime(const QTime& time);
    // Short date, a blank and the long time; the time is left out at exactly midnight.
    static QString dateAndTime(const QDateTime& dateTime);
    // A field's date and time display format, written with the report format letters (d, m,
    // y, h, n, s, z, t, c, am/pm, case-insensitive, "m" after "h" meaning minutes, quoted
    // literals), as a QLocale pattern: "dd/mm/yyyy" becomes "dd/MM/yyyy".
    static QString qtDatePattern(const QString& format);
    // A variant as plain text, empty for null.
    static QString variantText(const QVariant& value);
};
