#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The reference service's business directory: listings of businesses in Pakistani cities,
// generated from a fixed seed so every run serves the same rows, searched by words in any field.
class ListingDirectory {
public:
    // One listing in the order of the reply's sixteen fields.
    struct Listing {
        int id = 0;
        int city = 0;      // CTRY.CD
        QStringList texts; // fields 2 to 15: title ... description, colour
    };

    static constexpr int DefaultCount = 2400;

    explicit ListingDirectory(int count = DefaultCount);

    int size() const { return int(m_listings.size()); }
    const Listing& at(int i) const { return m_listings.at(i); }

    // The listings that hold every word of the text (ignoring case) in some field, in order.
    QVector<int> search(const QString& text) const;
    // The reply body for a search: "<n> Records Found>" then the records, each ended by byte 30,
    // fields separated by byte 31, as Latin-1 bytes.
    QByteArray reply(const QString& text) const;

private:
    void generate(int count);

    QVector<Listing> m_listings;
    QVector<QString> m_haystacks; // every field of a listing, upper case, for the word search
};
