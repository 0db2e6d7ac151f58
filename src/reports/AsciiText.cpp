#include "reports/AsciiText.h"

namespace {
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
} // namespace

QByteArray AsciiText::toLower(const QByteArray& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = lowerAscii(text[i]);
    return out;
}

bool AsciiText::equalsIgnoreCase(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

bool AsciiText::equalsIgnoreCase(QStringView text, const QByteArray& bytes) {
    if (text.size() != bytes.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0xFF || lowerAscii(char(c)) != lowerAscii(bytes[i]))
            return false;
    }
    return true;
}

int AsciiText::hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray AsciiText::trimBlanks(const QByteArray& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && uchar(text[from]) <= 32)
        ++from;
    while (to > from && uchar(text[to - 1]) <= 32)
        --to;
    return text.mid(from, to - from);
}
