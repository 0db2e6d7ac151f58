#include "data/FbMessage.h"

#include "data/FbClient.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {
const QDate FbEpoch(1858, 11, 17);

template <typename T> T readAs(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void writeAs(char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Parameter text as the engine converts it: dates and times in ISO form (the default text of a
// QDateTime is not one the engine reads).
QString inputText(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
    default:
        return v.toString();
    }
}

// Texts arrive in the connection's character set (UTF8); columns without a character set
// (NONE, OCTETS) come back as their stored bytes, read as Latin-1 so no byte is lost.
QString decodeText(unsigned charSet, const char* p, qsizetype n) {
    if (charSet == FbMessage::CharSetUtf8 || charSet == FbMessage::CharSetUnicodeFss)
        return QString::fromUtf8(p, n);
    return QString::fromLatin1(p, n);
}

// Bytes per character of a character set, for a column's declared length in characters.
int bytesPerChar(unsigned charSet) {
    switch (charSet) {
    case FbMessage::CharSetUtf8:
        return 4;
    case FbMessage::CharSetUnicodeFss:
        return 3;
    default:
        return 1;
    }
}

// A CHAR value is padded with spaces to its length in bytes; it keeps its declared number of
// characters.
QString fixedText(const FbMessage::Field& f, const char* p) {
    QString text = decodeText(f.charSet, p, f.length);
    const int chars = f.length / bytesPerChar(f.charSet);
    qsizetype end = 0;
    for (int n = 0; n < chars && end < text.size(); ++n)
        end += text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    text.truncate(end);
    return text;
}

QTime fbTime(ISC_TIME t) {
    return QTime(0, 0).addMSecs(int(t / 10));
}

QByteArray readBlob(IAttachment* attachment, ITransaction* transaction, ISC_QUAD id) {
    FbStatus status;
    QByteArray out;
    fbCall([&] {
        IBlob* blob = attachment->openBlob(&status, transaction, &id, 0, nullptr);
        char chunk[32768];
        for (;;) {
            unsigned got = 0;
            int rc = blob->getSegment(&status, sizeof chunk, chunk, &got);
            if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT)
                out.append(chunk, int(got));
            else
                break;
        }
        blob->close(&status);
    });
    return out;
}
} // namespace

FbMessage::~FbMessage() {
    reset();
}

void FbMessage::reset() {
    if (m_metadata)
        m_metadata->release();
    m_metadata = nullptr;
    m_buffer.clear();
    m_fields.clear();
}

void FbMessage::setOutput(IMessageMetadata* metadata) {
    reset();
    m_metadata = metadata;
    m_metadata->addRef();
    layOut();
}

void FbMessage::setInput(IMessageMetadata* metadata, const std::vector<QVariant>& values) {
    reset();
    FbStatus status;
    fbCall([&] {
        IMetadataBuilder* builder = metadata->getBuilder(&status);
        const unsigned n = metadata->getCount(&status);
        for (unsigned i = 0; i < n && i < values.size(); ++i) {
            const QVariant& v = values[i];
            if (v.isNull())
                continue;
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                builder->setType(&status, i, SQL_INT64);
                builder->setLength(&status, i, sizeof(ISC_INT64));
                builder->setScale(&status, i, 0);
                break;
            case QMetaType::Double:
                builder->setType(&status, i, SQL_DOUBLE);
                builder->setLength(&status, i, sizeof(double));
                builder->setScale(&status, i, 0);
                break;
            case QMetaType::Bool:
                builder->setType(&status, i, SQL_BOOLEAN);
                builder->setLength(&status, i, 1);
                break;
            default: {
                const int bytes = int(inputText(v).toUtf8().size());
                builder->setType(&status, i, SQL_VARYING);
                builder->setLength(&status, i, unsigned(qMax(1, bytes)));
                builder->setCharSet(&status, i, CharSetUtf8);
                builder->setScale(&status, i, 0);
            }
            }
        }
        m_metadata = builder->getMetadata(&status);
        builder->release();
    });
    layOut();
    for (unsigned i = 0; i < count() && i < values.size(); ++i)
        writeValue(m_fields[i], values[i]);
}

int FbMessage::length(unsigned i) const {
    const Field& f = m_fields[i];
    return f.type == SQL_TEXT || f.type == SQL_VARYING ? f.length / bytesPerChar(f.charSet)
                                                       : f.length;
}

void FbMessage::layOut() {
    FbStatus status;
    fbCall([&] {
        const unsigned n = m_metadata->getCount(&status);
        m_fields.resize(n);
        for (unsigned i = 0; i < n; ++i) {
            Field& f = m_fields[i];
            f.name = QString::fromUtf8(m_metadata->getAlias(&status, i));
            if (f.name.isEmpty())
                f.name = QString::fromUtf8(m_metadata->getField(&status, i));
            f.type = m_metadata->getType(&status, i) & ~1u;
            f.scale = m_metadata->getScale(&status, i);
            f.length = int(m_metadata->getLength(&status, i));
            f.subType = unsigned(m_metadata->getSubType(&status, i));
            f.charSet = m_metadata->getCharSet(&status, i) & 0xFF;
            f.offset = m_metadata->getOffset(&status, i);
            f.nullOffset = m_metadata->getNullOffset(&status, i);
        }
        m_buffer = QByteArray(int(m_metadata->getMessageLength(&status)), '\0');
    });
    // Everything starts as NULL; setting a value clears its flag.
    for (const Field& f : m_fields)
        writeAs<short>(m_buffer.data() + f.nullOffset, -1);
}

void FbMessage::writeValue(const Field& f, const QVariant& v) {
    char* p = m_buffer.data() + f.offset;
    if (v.isNull()) {
        writeAs<short>(m_buffer.data() + f.nullOffset, -1);
        return;
    }
    writeAs<short>(m_buffer.data() + f.nullOffset, 0);
    switch (f.type) {
    case SQL_INT64:
        writeAs<ISC_INT64>(p, v.toLongLong());
        break;
    case SQL_DOUBLE:
        writeAs<double>(p, v.toDouble());
        break;
    case SQL_BOOLEAN:
        *p = v.toBool() ? 1 : 0;
        break;
    case SQL_VARYING: {
        const QByteArray bytes = inputText(v).toUtf8();
        writeAs<unsigned short>(p, static_cast<unsigned short>(bytes.size()));
        std::memcpy(p + sizeof(unsigned short), bytes.constData(), size_t(bytes.size()));
        break;
    }
    default:
        writeAs<short>(m_buffer.data() + f.nullOffset, -1);
    }
}

QVariant FbMessage::value(unsigned i, IAttachment* attachment, ITransaction* transaction) const {
    const Field& f = m_fields[i];
    const char* p = m_buffer.constData() + f.offset;
    if (readAs<short>(m_buffer.constData() + f.nullOffset))
        return QVariant();
    const auto scaled = [&f](double raw) { return raw * std::pow(10.0, f.scale); };
    switch (f.type) {
    case SQL_TEXT:
        return fixedText(f, p);
    case SQL_VARYING:
        return decodeText(f.charSet, p + 2, readAs<unsigned short>(p));
    case SQL_SHORT:
        return f.scale ? QVariant(scaled(readAs<short>(p))) : QVariant(int(readAs<short>(p)));
    case SQL_LONG:
        return f.scale ? QVariant(scaled(readAs<ISC_LONG>(p))) : QVariant(int(readAs<ISC_LONG>(p)));
    case SQL_INT64:
        return f.scale ? QVariant(scaled(double(readAs<ISC_INT64>(p))))
                       : QVariant(qlonglong(readAs<ISC_INT64>(p)));
    case SQL_FLOAT:
        return double(readAs<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return readAs<double>(p);
    case SQL_BOOLEAN:
        return bool(*p);
    case SQL_TYPE_DATE:
        return FbEpoch.addDays(readAs<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return fbTime(readAs<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = readAs<ISC_TIMESTAMP>(p);
        return QDateTime(FbEpoch.addDays(ts.timestamp_date), fbTime(ts.timestamp_time));
    }
    case SQL_BLOB: {
        const QByteArray bytes = readBlob(attachment, transaction, readAs<ISC_QUAD>(p));
        return f.subType == 1 ? QVariant(decodeText(f.charSet, bytes.constData(), bytes.size()))
                              : QVariant(bytes);
    }
    default:
        return QVariant();
    }
}
