#pragma once

#include <QByteArray>

// Splits RTF bytes into group starts and ends, control words, control symbols, hex escapes and
// runs of text. Never reads past the end; a truncated document simply ends.
class RtfTokenizer {
public:
    enum class Type { GroupStart, GroupEnd, Word, Symbol, HexByte, Text, End };

    struct Token {
        Type type = Type::End;
        QByteArray word; // control word (letters only)
        bool hasParameter = false;
        int parameter = 0;
        char symbol = 0; // control symbol character, or the byte of a hex escape
        QByteArray text; // text bytes (line breaks removed)
    };

    explicit RtfTokenizer(const QByteArray& data) : m_data(data) {}

    Token next();
    // Skips raw bytes (the data of \binN), at most to the end.
    void skipBytes(qint64 count);
    qsizetype position() const { return m_pos; }

private:
    Token readControl();

    const QByteArray& m_data;
    qsizetype m_pos = 0;
};
