#pragma once

#include "interchange/TextDecoding.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

class QIODevice;

// Reads the records of an RFC 4180 file (quoted fields with separators, quotes and line
// breaks) one at a time. The encoding comes from a byte order mark (UTF-8, UTF-16, which is
// turned into UTF-8 on the way), else UTF-8 when the start of the file is valid UTF-8, else
// Windows-1252; the separator (comma, semicolon or tab) from the first line. A record that
// grows beyond its limits (an unbalanced quote) is skipped up to the next line break.
class CsvReader {
public:
    explicit CsvReader(QIODevice& device);

    // The next record; false at the end. `damaged` tells that the record was skipped.
    bool next(QStringList& fields, bool* damaged);
    char separator() const { return m_separator; }
    TextDecoding::Encoding encoding() const { return m_encoding; }
    qint64 position() const { return m_consumed; }

    static constexpr qsizetype MaxRecordBytes = 4 << 20;
    static constexpr int MaxFields = 2000;

private:
    bool fill();
    void detect();
    int get();
    int peekByte();
    QString decode(const QByteArray& bytes) const;

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    std::optional<QStringDecoder> m_utf16;
    TextDecoding::Encoding m_encoding = TextDecoding::Encoding::Utf8;
    char m_separator = ',';
    bool m_detected = false;
};
