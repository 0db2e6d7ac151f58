#pragma once

#include <QByteArray>

class QIODevice;

// Reads a device line by line without its CR/LF ending, keeping at most `limit` bytes of a
// line (the rest is read and dropped), so a line of gigabytes costs no memory. One line can be
// looked at before it is taken (vCard continuation lines).
class LineReader {
public:
    explicit LineReader(QIODevice& device, qsizetype limit = 1 << 20);

    // The next line; false at the end of the device. `overlong` tells that it was cut.
    bool read(QByteArray& line, bool* overlong = nullptr);
    // The line read() would give next, without taking it.
    const QByteArray* peek();
    qint64 position() const { return m_position; }

private:
    bool fetch(QByteArray& line, bool& overlong);

    QIODevice& m_device;
    qsizetype m_limit;
    QByteArray m_peeked;
    bool m_hasPeeked = false;
    bool m_peekedOverlong = false;
    qint64 m_position = 0;
};
