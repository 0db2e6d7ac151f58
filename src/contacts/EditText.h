#pragma once

#include <QString>
#include <QVariant>

// Text rules of the editor fields: no backslashes in titles and single-line fields.
class EditText {
public:
    static QString withoutBackslashes(const QString& text);
    // A box's text as it goes into the row: an unchanged value stays as it is (NULL included),
    // an emptied box becomes NULL.
    static QVariant stored(const QVariant& current, const QString& text);
};
