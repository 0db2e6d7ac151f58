#pragma once

#include <QList>
#include <QString>

// A made-up PTCL telephone directory of Pakistani cities: several thousand fixed-line entries,
// each number starting with its city's three-digit area code. The same seed gives the same book.
class PtclDirectory {
public:
    struct Entry {
        QString phone; // area code and local number, digits only
        QString name;
        QString address;
    };

    explicit PtclDirectory(int size = 6000);

    // Entries whose local number (or whole number) starts with the digits typed.
    QList<Entry> byPhone(const QString& digits, int limit) const;
    // Entries whose name holds every word of name and whose address every word of address,
    // ignoring case. Both empty finds nothing.
    QList<Entry> byNameAndAddress(const QString& name, const QString& address, int limit) const;

    const QList<Entry>& entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};
