#pragma once

#include <QByteArray>

// Byte-string helpers that treat only the ASCII letters as having a letter case.
class AsciiText {
public:
    static QByteArray toLower(const QByteArray& text);
    static bool equalsIgnoreCase(const QByteArray& a, const QByteArray& b);
};
