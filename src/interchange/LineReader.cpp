#include "interchange/LineReader.h"

#include <QIODevice>

LineReader::LineReader(QIODevice& device, qsizetype limit) : m_device(device), m_limit(limit) {}

bool LineReader::fetch(QByteArray& line, bool& overlong) {
    line.clear();
    overlong = false;
    if (m_device.atEnd())
        return false;
    char buffer[8192];
    for (;;) {
        const qint64 n = m_device.readLine(buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_position += n;
        const bool complete = buffer[n - 1] == '\n';
        if (!overlong) {
            if (line.size() + n > m_limit + 2)
                overlong = true;
            else
                line.append(buffer, n);
        }
        if (complete)
            break;
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (overlong && line.size() > m_limit)
        line.truncate(m_limit);
    return true;
}

bool LineReader::read(QByteArray& line, bool* overlong) {
    bool cut = false;
    bool ok;
    if (m_hasPeeked) {
        line = std::move(m_peeked);
        m_peeked = QByteArray();
        cut = m_peekedOverlong;
        m_hasPeeked = false;
        ok = true;
    } else
        ok = fetch(line, cut);
    if (overlong)
        *overlong = cut;
    return ok;
}

const QByteArray* LineReader::peek() {
    if (!m_hasPeeked) {
        if (!fetch(m_peeked, m_peekedOverlong))
            return nullptr;
        m_hasPeeked = true;
    }
    return &m_peeked;
}
