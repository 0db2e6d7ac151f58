#include "interchange/CsvReader.h"

#include <QIODevice>

CsvReader::CsvReader(QIODevice& device) : m_device(device) {}

bool CsvReader::fill() {
    const QByteArray chunk = m_device.read(64 * 1024);
    if (chunk.isEmpty())
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    if (m_utf16)
        m_buffer += QString(m_utf16->decode(chunk)).toUtf8();
    else
        m_buffer += chunk;
    return true;
}

void CsvReader::detect() {
    m_detected = true;
    while (m_buffer.size() < 64 * 1024 && fill()) {
    }
    int mark = 0;
    const TextDecoding::Encoding bom = TextDecoding::fromByteOrderMark(m_buffer, &mark);
    if (bom == TextDecoding::Encoding::Utf16LE || bom == TextDecoding::Encoding::Utf16BE) {
        m_utf16.emplace(bom == TextDecoding::Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                               : QStringConverter::Utf16BE);
        const QByteArray raw = m_buffer.mid(mark);
        m_buffer = QString(m_utf16->decode(raw)).toUtf8();
        m_encoding = TextDecoding::Encoding::Utf8;
    } else if (mark > 0) {
        m_pos = mark;
        m_encoding = TextDecoding::Encoding::Utf8;
    } else {
        m_encoding = TextDecoding::isValidUtf8Prefix(m_buffer)
                         ? TextDecoding::Encoding::Utf8
                         : TextDecoding::Encoding::Windows1252;
    }
    // The separator that occurs most often outside quotes on the first line.
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (qsizetype i = m_pos; i < m_buffer.size(); ++i) {
        const char c = m_buffer[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted)
            counts[0] += c == ',', counts[1] += c == ';', counts[2] += c == '\t';
    }
    m_separator = ',';
    if (counts[1] > counts[0] && counts[1] >= counts[2])
        m_separator = ';';
    else if (counts[2] > counts[0] && counts[2] > counts[1])
        m_separator = '\t';
}

int CsvReader::peekByte() {
    if (m_pos >= m_buffer.size() && !fill())
        return -1;
    return uchar(m_buffer[m_pos]);
}

int CsvReader::get() {
    const int c = peekByte();
    if (c >= 0) {
        ++m_pos;
        ++m_consumed;
    }
    return c;
}

QString CsvReader::decode(const QByteArray& bytes) const {
    return m_encoding == TextDecoding::Encoding::Utf8 ? TextDecoding::decodeLenient(bytes)
                                                      : TextDecoding::windows1252(bytes);
}

bool CsvReader::next(QStringList& fields, bool* damaged) {
    if (!m_detected)
        detect();
    fields.clear();
    *damaged = false;
    if (peekByte() < 0)
        return false;
    QByteArray field;
    qsizetype recordBytes = 0;
    bool quoted = false, wasQuoted = false;
    for (;;) {
        const int c = get();
        if (c < 0) {
            if (quoted) { // a quote never closed: the record cannot be told apart
                fields.clear();
                *damaged = true;
                return true;
            }
            fields << decode(field);
            return true; // the last record may lack its line break
        }
        if (++recordBytes > MaxRecordBytes || fields.size() > MaxFields) {
            // Unbalanced quote or a runaway record: drop it up to the next line break.
            int d;
            while ((d = get()) >= 0 && d != '\n') {
            }
            fields.clear();
            *damaged = true;
            return true;
        }
        if (quoted) {
            if (c == '"') {
                if (peekByte() == '"') {
                    get();
                    field += '"';
                } else
                    quoted = false;
            } else
                field += char(c);
            continue;
        }
        if (c == '"' && !wasQuoted && field.isEmpty()) {
            quoted = wasQuoted = true;
        } else if (c == m_separator) {
            fields << decode(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && peekByte() == '\n')
                get();
            fields << decode(field);
            return true;
        } else
            field += char(c);
    }
}
