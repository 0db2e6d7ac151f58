#include "reports/RtfTokenizer.h"

#include "reports/AsciiText.h"

#include <limits>

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int kMaxWordLength = 32;
constexpr int kMaxDigits = 10;

} // namespace

RtfTokenizer::Token RtfTokenizer::next() {
    Token t;
    const qsizetype n = m_data.size();
    while (m_pos < n) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            t.type = Type::GroupStart;
            return t;
        }
        if (c == '}') {
            ++m_pos;
            t.type = Type::GroupEnd;
            return t;
        }
        if (c == '\\')
            return readControl();
        if (c == '\r' || c == '\n') {
            ++m_pos;
            continue;
        }
        qsizetype end = m_pos;
        while (end < n && m_data[end] != '{' && m_data[end] != '}' && m_data[end] != '\\' &&
               m_data[end] != '\r' && m_data[end] != '\n')
            ++end;
        t.type = Type::Text;
        t.text = m_data.mid(m_pos, end - m_pos);
        m_pos = end;
        return t;
    }
    t.type = Type::End;
    return t;
}

RtfTokenizer::Token RtfTokenizer::readControl() {
    Token t;
    const qsizetype n = m_data.size();
    ++m_pos; // the backslash
    if (m_pos >= n) {
        t.type = Type::End;
        return t;
    }
    const char c = m_data[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            const int hi = m_pos < n ? AsciiText::hexValue(m_data[m_pos]) : -1;
            const int lo = m_pos + 1 < n ? AsciiText::hexValue(m_data[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0) {
                // Malformed escape: an ignored symbol; a lone digit at the very end goes with it.
                if (hi >= 0 && m_pos + 1 >= n)
                    ++m_pos;
                t.type = Type::Symbol;
                t.symbol = 0;
                return t;
            }
            m_pos += 2;
            t.type = Type::HexByte;
            t.symbol = char(hi * 16 + lo);
            return t;
        }
        t.type = Type::Symbol;
        t.symbol = (c == '\r' || c == '\n') ? '\n' : c;
        return t;
    }
    const qsizetype start = m_pos;
    while (m_pos < n && isLetter(m_data[m_pos]))
        ++m_pos;
    t.type = Type::Word;
    t.word = m_data.mid(start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
    bool negative = false;
    if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    qint64 value = 0;
    int digits = 0;
    while (m_pos < n && isDigit(m_data[m_pos])) {
        if (digits < kMaxDigits)
            value = value * 10 + (m_data[m_pos] - '0');
        ++digits;
        ++m_pos;
    }
    if (digits > 0) {
        t.hasParameter = true;
        value = std::min<qint64>(value, std::numeric_limits<int>::max());
        t.parameter = int(negative ? -value : value);
    }
    if (m_pos < n && m_data[m_pos] == ' ')
        ++m_pos;
    return t;
}

void RtfTokenizer::skipBytes(qint64 count) {
    if (count <= 0)
        return;
    m_pos = qsizetype(std::min<qint64>(qint64(m_data.size()), qint64(m_pos) + count));
}
