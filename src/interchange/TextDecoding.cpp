#include "interchange/TextDecoding.h"

#include <QStringDecoder>

namespace {
// Windows-1252 characters of the bytes 0x80-0x9F; the five unassigned bytes keep their C1 code.
const char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the UTF-8 sequence starting at bytes[i] when it is well formed (no overlong forms,
// no surrogates, nothing beyond U+10FFFF); 0 when it is not, -1 when it is cut by the end.
int utf8SequenceLength(const QByteArray& bytes, qsizetype i) {
    const auto b = [&](qsizetype k) { return uchar(bytes[k]); };
    const uchar c = b(i);
    if (c < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;
        if (c == 0xED)
            high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;
    } else
        return 0;
    for (int k = 1; k < length; ++k) {
        if (i + k >= bytes.size())
            return -1;
        const uchar t = b(i + k);
        if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool checkUtf8(const QByteArray& bytes, bool allowCut) {
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8SequenceLength(bytes, i);
        if (n == -1)
            return allowCut;
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}
} // namespace

bool TextDecoding::isValidUtf8(const QByteArray& bytes) {
    return checkUtf8(bytes, false);
}

bool TextDecoding::isValidUtf8Prefix(const QByteArray& bytes) {
    return checkUtf8(bytes, true);
}

TextDecoding::Encoding TextDecoding::fromName(const QByteArray& name) {
    const QByteArray n = name.trimmed().toLower();
    if (n == "utf-8" || n == "utf8")
        return Encoding::Utf8;
    if (n == "iso-8859-1" || n == "latin1" || n == "iso8859-1" || n == "us-ascii")
        return Encoding::Latin1;
    if (n == "utf-16le")
        return Encoding::Utf16LE;
    if (n == "utf-16be" || n == "utf-16")
        return Encoding::Utf16BE;
    return Encoding::Windows1252;
}

TextDecoding::Encoding TextDecoding::fromByteOrderMark(const QByteArray& start, int* markLength) {
    *markLength = 0;
    if (start.startsWith("\xEF\xBB\xBF")) {
        *markLength = 3;
        return Encoding::Utf8;
    }
    if (start.startsWith("\xFF\xFE")) {
        *markLength = 2;
        return Encoding::Utf16LE;
    }
    if (start.startsWith("\xFE\xFF")) {
        *markLength = 2;
        return Encoding::Utf16BE;
    }
    return Encoding::Utf8;
}

QString TextDecoding::windows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(Cp1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

QString TextDecoding::decode(const QByteArray& bytes, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return decodeLenient(bytes);
    case Encoding::Latin1:
        return QString::fromLatin1(bytes);
    case Encoding::Windows1252:
        return windows1252(bytes);
    case Encoding::Utf16LE:
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes);
    case Encoding::Utf16BE:
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes);
    }
    return windows1252(bytes);
}

QString TextDecoding::decodeLenient(const QByteArray& bytes) {
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : windows1252(bytes);
}
