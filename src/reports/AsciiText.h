#pragma once

#include <QByteArray>
#include <QStringView>

// Byte-string helpers that treat only the ASCII letters as having a letter case.
class AsciiText {
public:
    static QByteArray toLower(const QByteArray& text);
    static bool equalsIgnoreCase(const QByteArray& a, const QByteArray& b);
    // Compares a text with Latin-1 bytes, ASCII letter case ignored.
    static bool equalsIgnoreCase(QStringView text, const QByteArray& bytes);
    // The value of a hexadecimal digit, -1 for any other byte.
    static int hexValue(char c);
    // The bytes without the blanks (codes 0-32) at both ends.
    static QByteArray trimBlanks(const QByteArray& text);
};
