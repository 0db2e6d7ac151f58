#include "ptcl/PlugInMessage.h"

#include <QtEndian>

namespace {

void append32(QByteArray& bytes, quint32 value) {
    char field[4];
    qToBigEndian(value, field);
    bytes.append(field, 4);
}

quint32 read32(const char* at) {
    return qFromBigEndian<quint32>(at);
}

} // namespace

QByteArray PlugInMessage::encode() const {
    QByteArray bytes;
    bytes.reserve(4 + HeaderLength + first.size() + second.size());
    append32(bytes, quint32(HeaderLength + first.size() + second.size()));
    bytes.append(char(kind));
    bytes.append(char(flag));
    append32(bytes, quint32(status));
    append32(bytes, quint32(first.size()));
    bytes.append(first);
    bytes.append(second);
    return bytes;
}

PlugInMessage::Read PlugInMessage::take(QByteArray& buffer, PlugInMessage& message) {
    if (buffer.size() < 4)
        return Read::Incomplete;
    const quint32 length = read32(buffer.constData());
    if (length < HeaderLength || length > MaxLength)
        return Read::Broken;
    if (buffer.size() < 5)
        return Read::Incomplete;
    const quint8 kind = quint8(buffer.at(4));
    if (kind < Loaded || kind > Reply)
        return Read::Broken;
    if (quint64(buffer.size()) < 4 + quint64(length))
        return Read::Incomplete;
    const char* at = buffer.constData() + 4;
    const quint32 firstLength = read32(at + 6);
    if (firstLength > length - HeaderLength)
        return Read::Broken;
    message.kind = Kind(kind);
    message.flag = quint8(at[1]);
    message.status = qint32(read32(at + 2));
    message.first = QByteArray(at + HeaderLength, firstLength);
    message.second =
        QByteArray(at + HeaderLength + firstLength, length - HeaderLength - firstLength);
    buffer.remove(0, 4 + length);
    return Read::Taken;
}
