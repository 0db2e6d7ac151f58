#pragma once

#include "interchange/ContactSource.h"
#include "interchange/LineReader.h"

#include <QByteArray>
#include <QList>

// Reads the cards of a vCard 2.1, 3.0 or 4.0 file one at a time: unfolds lines (and the soft
// line breaks of quoted-printable values), decodes quoted-printable text in its CHARSET,
// understands the type words of all three versions, groups and escapes, and skips binary values
// (PHOTO, LOGO, SOUND, KEY) without keeping them. A card that cannot be read (cut off, too
// large, no BEGIN/END pair) is counted and skipped.
class VCardReader : public ContactSource {
public:
    explicit VCardReader(QIODevice& device);

    bool next(ContactCard& card) override;
    int unreadable() const override { return m_unreadable; }
    qint64 position() const override { return m_lines.position(); }

    // One content line "group.NAME;params:value" as read.
    struct Property {
        QByteArray group;
        QByteArray name;                             // upper case
        QList<QPair<QByteArray, QByteArray>> params; // names upper case; bare words have no name
        QByteArray value;                            // raw, still escaped and encoded
    };
    static bool parseLine(const QByteArray& line, Property& property);
    // The card a list of properties describes (exposed for tests and the fuzz entry point).
    static ContactCard toCard(const QList<Property>& properties);

    static constexpr int MaxProperties = 5000;
    static constexpr qsizetype MaxCardBytes = 8 << 20;

private:
    enum class Line { Ok, End };
    bool readLogicalLine(QByteArray& line, bool& overlong);
    void skipToEnd();

    LineReader m_lines;
    int m_unreadable = 0;
    bool m_insideCard = false; // a BEGIN:VCARD was taken by the previous card's read
};
