#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One contact as read from a file, before it is mapped onto the CONT columns: the values a
// vCard or a CSV row gave, each with its kind, its type words (lower case: "work", "cell",
// "fax", "x-uan", ...) and, for values without a column, the label they are kept under.
struct CardValue {
    enum class Kind {
        Org,           // components: organisation, units
        FormattedName, // FN
        Name,          // components: family, given, additional, prefixes, suffixes
        Title,
        Role,
        Address, // components: PO box, extended, street, locality, region, postal code, country
        Tel,
        Email,
        Url,
        Categories, // components: one per category
        Note,
        Column, // a CONT column by name (label), from the program's own CSV
        Other,  // no column of its own: kept in BDS as "label: value"
    };
    Kind kind = Kind::Other;
    QString label;
    QStringList types;
    QString value;
    QStringList components;

    bool hasType(const char* type) const { return types.contains(QLatin1String(type)); }
};

struct ContactCard {
    QVector<CardValue> values;

    void add(CardValue::Kind kind, const QString& value, const QStringList& types = {},
             const QString& label = {}) {
        CardValue v;
        v.kind = kind;
        v.value = value;
        v.types = types;
        v.label = label;
        values << v;
    }
    void addComponents(CardValue::Kind kind, const QStringList& components,
                       const QStringList& types = {}, const QString& label = {}) {
        CardValue v;
        v.kind = kind;
        v.components = components;
        v.value = components.join(QLatin1Char(' '));
        v.types = types;
        v.label = label;
        values << v;
    }
    bool isEmpty() const { return values.isEmpty(); }
};
