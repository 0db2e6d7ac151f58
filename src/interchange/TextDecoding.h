#pragma once

#include <QByteArray>
#include <QString>

// Turns the bytes of an imported file into text: UTF-8 when the bytes are valid UTF-8, else the
// named character set (ISO-8859-1, Windows-1252, UTF-16), with Windows-1252 as the fallback, so
// every byte becomes a character and nothing the user wrote turns into '?'.
class TextDecoding {
public:
    enum class Encoding { Utf8, Utf16LE, Utf16BE, Latin1, Windows1252 };

    static bool isValidUtf8(const QByteArray& bytes);
    // Like isValidUtf8, but a sequence cut at the end of the bytes counts as valid (the next
    // block of a stream completes it).
    static bool isValidUtf8Prefix(const QByteArray& bytes);
    // Encoding named by a CHARSET parameter; unknown names fall back to Windows-1252.
    static Encoding fromName(const QByteArray& name);
    // Encoding given by a byte order mark at the start, with the mark's length; Utf8 and 0 when
    // there is none.
    static Encoding fromByteOrderMark(const QByteArray& start, int* markLength);

    static QString decode(const QByteArray& bytes, Encoding encoding);
    // Decodes a value of a file whose text is meant to be UTF-8: valid UTF-8 as such, anything
    // else (an 8-bit export, a damaged sequence) as Windows-1252.
    static QString decodeLenient(const QByteArray& bytes);
    static QString windows1252(const QByteArray& bytes);
};
