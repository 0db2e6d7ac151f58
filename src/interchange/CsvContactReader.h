#pragma once

#include "interchange/ContactSource.h"
#include "interchange/CsvReader.h"

#include <QVector>

// Reads contacts from a CSV file whose first record names its columns: the program's own
// export (the contact editor's captions), Google Contacts' and Outlook's exports, and other
// headers where their names obviously match; columns with no place go into the description.
class CsvContactReader : public ContactSource {
public:
    explicit CsvContactReader(QIODevice& device);

    bool next(ContactCard& card) override;
    int unreadable() const override { return m_unreadable; }
    qint64 position() const override { return m_csv.position(); }

    // What one header means.
    struct Rule {
        CardValue::Kind kind = CardValue::Kind::Other;
        QString group;      // values of one group (a phone with its label) meet in one value
        int component = -1; // Name or Address component; 7 for a formatted address
        bool isLabel = false;
        QStringList types;
        QString label; // Other: the caption; Column: the CONT column
        QString split; // several values in one field, separated so
        bool skip = false;
    };
    static Rule ruleFor(const QString& header, bool ownFormat);
    // The card a record describes, by the rules of its header.
    static ContactCard toCard(const QVector<Rule>& rules, const QStringList& headers,
                              const QStringList& fields);

    // The program's own column captions, in the order it writes them.
    static const QStringList& ownHeaders();

private:
    CsvReader m_csv;
    QStringList m_headers;
    QVector<Rule> m_rules;
    bool m_headerRead = false;
    int m_unreadable = 0;
};
