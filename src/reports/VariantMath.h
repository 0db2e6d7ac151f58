#pragma once

#include <QDateTime>
#include <QVariant>

// Arithmetic and ordering on the variants that data-set fields hold: an invalid QVariant is
// null; integers, floating-point numbers, dates and times, and texts have their natural order.
// Dates and times take part in sums as day numbers (days since 30 December 1899, the time of
// day as the fraction).
class VariantMath {
public:
    static bool isNull(const QVariant& v) { return !v.isValid(); }
    static bool isIntegral(const QVariant& v);
    static bool isFloating(const QVariant& v);
    static bool isDateLike(const QVariant& v);

    // Negative, zero or positive as a sorts before, with or after b. Numbers by value, dates by
    // time, texts by byte order (case-sensitive). Null sorts first.
    static int compare(const QVariant& a, const QVariant& b);
    // Equality for group changes: two nulls are equal, null and a value are not.
    static bool same(const QVariant& a, const QVariant& b);
    // The running sum with one more value; an invalid sum is the empty start value.
    static QVariant add(const QVariant& sum, const QVariant& value);
    // Sum divided by count: true division for a floating-point sum, whole-number otherwise.
    static QVariant divide(const QVariant& sum, int count);

    static double toDays(const QVariant& dateLike);
    static QDateTime fromDays(double days);
    // A date, time, date-time or day number as a date-time (a bare time lies on day 0).
    static QDateTime toDateTime(const QVariant& v);
};
