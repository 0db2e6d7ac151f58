#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>

class Databases;

// Fills a data database with a realistic personal directory: nested folders and Pakistani
// business contacts with addresses, numbers, people and web sites. Every hundredth contact is
// a "Zarghoon" business, so a search for that word finds about 1% of them.
class DirectoryGenerator {
public:
    explicit DirectoryGenerator(quint32 seed = 20240611) : m_random(seed) {}

    // Adds `count` folders up to `depth` levels deep; answers their identifiers.
    QList<int> addFolders(Databases& db, int count, int depth);
    // Adds contacts spread over the folders, one transaction per RowsPerTransaction rows.
    void addContacts(Databases& db, const QList<int>& folders, int count);

    static inline const QString RareWord = QStringLiteral("Zarghoon");
    static constexpr int RowsPerTransaction = 50000;

private:
    QString pick(const QList<const char*>& list);
    QString digits(int n);
    QString companyName(int index);

    QRandomGenerator m_random;
};
