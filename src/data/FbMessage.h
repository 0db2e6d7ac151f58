#pragma once

#include <QByteArray>
#include <QVariant>
#include <vector>

namespace Firebird {
class IMessageMetadata;
class IAttachment;
class ITransaction;
} // namespace Firebird

// A message buffer laid out by a statement's metadata, with conversion to and from QVariant.
class FbMessage {
public:
    FbMessage() = default;
    ~FbMessage();
    FbMessage(const FbMessage&) = delete;
    FbMessage& operator=(const FbMessage&) = delete;

    // The engine's numbers of the character sets that texts arrive in.
    static constexpr unsigned CharSetUtf8 = 4;
    static constexpr unsigned CharSetUnicodeFss = 3;

    // Output messages keep the statement's own types (texts arrive as UTF-8).
    void setOutput(Firebird::IMessageMetadata* metadata);
    // Input messages are re-typed to fit the values given: integers as BIGINT, texts as
    // VARCHAR in UTF-8.
    void setInput(Firebird::IMessageMetadata* metadata, const std::vector<QVariant>& values);

    Firebird::IMessageMetadata* metadata() const { return m_metadata; }
    unsigned char* buffer() { return reinterpret_cast<unsigned char*>(m_buffer.data()); }
    unsigned count() const { return unsigned(m_fields.size()); }

    QString name(unsigned i) const { return m_fields[i].name; }
    // Declared length in characters of a text column.
    int length(unsigned i) const;
    // The value of an output field; blobs are read through the attachment and transaction.
    QVariant value(unsigned i, Firebird::IAttachment* attachment,
                   Firebird::ITransaction* transaction) const;

    void reset();

    struct Field {
        QString name;
        unsigned type = 0;
        int scale = 0;
        int length = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
        unsigned subType = 0;
        unsigned charSet = 0;
    };

private:
    void layOut();
    void writeValue(const Field& f, const QVariant& v);

    Firebird::IMessageMetadata* m_metadata = nullptr;
    QByteArray m_buffer;
    std::vector<Field> m_fields;
};
