#pragma once

#include <QLocale>
#include <QString>

// Formats a number with a display pattern in the style of word-processor and database tools:
// '0' a forced digit, '#' an optional digit, '.' the decimal point, ',' thousands grouping,
// "E+0"/"E-0" scientific notation, text in quotes copied, and up to three sections separated
// by ';' for positive, negative and zero values. Separators come from the locale.
class NumberPattern {
public:
    static QString format(double value, const QString& pattern, const QLocale& locale = QLocale());

private:
    struct Section;
    static Section parse(const QString& section);
    static QString render(double magnitude, const Section& s, const QLocale& locale);
};
