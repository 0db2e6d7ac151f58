#pragma once

#include "ListingDirectory.h"

#include <QByteArray>

// The directory search endpoint "resultra.php?q=": decodes the form-encoded search text and
// answers the directory's reply for it.
class ResultraHandler {
public:
    explicit ResultraHandler(int listings = ListingDirectory::DefaultCount);

    // The reply body for the raw query string of a request ("q=car+tyres").
    QByteArray reply(const QByteArray& rawQuery) const;
    // The search text of a raw query: the value of "q", '+' as a blank, %XX as Latin-1 bytes.
    static QString searchText(const QByteArray& rawQuery);

    const ListingDirectory& directory() const { return m_directory; }

private:
    ListingDirectory m_directory;
};
