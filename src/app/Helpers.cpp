#include "app/Helpers.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

bool isBlank(QChar c) {
    return c.unicode() <= 32;
}

bool isAsciiUpper(QChar c) {
    return c >= u'A' && c <= u'Z';
}

bool isAsciiLower(QChar c) {
    return c >= u'a' && c <= u'z';
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isAsciiAlnum(QChar c) {
    return isAsciiUpper(c) || isAsciiLower(c) || isAsciiDigit(c);
}

QChar toAsciiUpper(QChar c) {
    return isAsciiLower(c) ? QChar(c.unicode() - 32) : c;
}

QChar toAsciiLower(QChar c) {
    return isAsciiUpper(c) ? QChar(c.unicode() + 32) : c;
}

QString capitaliseWords(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        text[i] = toAsciiUpper(text[i]);
        if (i > 0 && isAsciiUpper(text[i]) && isAsciiAlnum(text[i - 1]))
            text[i] = toAsciiLower(text[i]);
    }
    return text;
}

} // namespace

bool HasText(const QString& text) {
    for (QChar c : text) {
        if (!isBlank(c))
            return true;
    }
    return false;
}

QString TrimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

QString IfHasText(const QString& tested, const QString& value, const QString& fallback) {
    return HasText(tested) ? value : fallback;
}

bool IsDigitsOnly(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

QString ConvertCase(const QString& text, char mode) {
    QString result = text;
    switch (mode) {
    case 'U':
        for (QChar& c : result)
            c = toAsciiUpper(c);
        return result;
    case 'L':
        for (QChar& c : result)
            c = toAsciiLower(c);
        return result;
    case 'C':
        return capitaliseWords(result);
    default:
        return result;
    }
}

QStringList SplitText(const QString& text, const QString& separator, bool keepEmpty) {
    const Qt::SplitBehavior behaviour = keepEmpty ? Qt::KeepEmptyParts : Qt::SkipEmptyParts;
    if (separator.isEmpty()) {
        // No separator to split at: the whole text is the one item.
        if (text.isEmpty() && !keepEmpty)
            return {};
        return {text};
    }
    return text.split(separator, behaviour, Qt::CaseSensitive);
}

QString TextAfter(const QString& marker, const QString& text) {
    if (marker.isEmpty())
        return {};
    const qsizetype at = latin1Lower(text).indexOf(latin1Lower(marker));
    return at < 0 ? QString() : text.mid(at + marker.size());
}

QString TextBefore(const QString& marker, const QString& text) {
    if (marker.isEmpty())
        return text;
    const qsizetype at = latin1Lower(text).indexOf(latin1Lower(marker));
    return at < 0 ? text : text.left(at);
}

QString PadLeft(const QString& text, int width, QChar fill) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), fill) + text;
}

QString TrimTrailingChar(const QString& text, QChar character) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == character)
        --end;
    return text.left(end);
}

QString UrlEncode(const QString& text) {
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    for (char ch : toLatin1Safe(text)) {
        const auto byte = static_cast<unsigned char>(ch);
        const QChar c(byte);
        if (isAsciiUpper(c) || isAsciiLower(c) || byte == '*' || byte == '-' || byte == '.' ||
            byte == '@' || byte == '_') {
            out += c;
        } else if (byte == ' ') {
            out += u'+';
        } else {
            out += u'%';
            out += QChar(hex[byte >> 4]);
            out += QChar(hex[byte & 0x0F]);
        }
    }
    return out;
}

bool FileMatchesMd5(const QString& fileName, const QString& expectedDigest) {
    if (!QFileInfo::exists(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                     .arg(fileName, file.errorString())
                                     .toStdString());
    }
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file)) {
        throw std::runtime_error(QStringLiteral("Cannot read file \"%1\". %2")
                                     .arg(fileName, file.errorString())
                                     .toStdString());
    }
    const QString digest = QString::fromLatin1(hash.result().toHex().toUpper());
    return digest.compare(expectedDigest, Qt::CaseInsensitive) == 0;
}

QByteArray toLatin1Safe(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF) {
            out += static_cast<char>(c.unicode());
            continue;
        }
        // A character beyond the first plane is a surrogate pair: still one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out += '?';
    }
    return out;
}

QString latin1Safe(const QString& text) {
    return QString::fromLatin1(toLatin1Safe(text));
}

QString LeftCharacters(const QString& text, qsizetype count) {
    qsizetype end = 0;
    for (qsizetype n = 0; n < count && end < text.size(); ++n)
        end +=
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate()
                ? 2
                : 1;
    return text.left(end);
}

namespace {
// The capital of one character by the simple case mapping. Greek small letters with
// ypogegrammeni have one (U+1F88 for U+1F80) that the engine uses and QChar::toUpper lacks.
char32_t upperOf(char32_t c) {
    if ((c >= 0x1F80 && c <= 0x1F87) || (c >= 0x1F90 && c <= 0x1F97) ||
        (c >= 0x1FA0 && c <= 0x1FA7))
        return c + 8;
    if (c == 0x1FB3 || c == 0x1FC3 || c == 0x1FF3)
        return c + 9;
    return QChar::toUpper(c);
}
} // namespace

QString DatabaseUpper(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        const char32_t upper = upperOf(c);
        if (QChar::requiresSurrogates(upper)) {
            out += QChar(QChar::highSurrogate(upper));
            out += QChar(QChar::lowSurrogate(upper));
        } else {
            out += QChar(char16_t(upper));
        }
    }
    return out;
}

QString latin1Lower(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
            c = QChar(u + 32);
    }
    return out;
}

QString QuoteSql(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}
