#include "contacts/EditText.h"

QString EditText::withoutBackslashes(const QString& text) {
    QString result = text;
    result.remove(u'\\');
    return result;
}

QVariant EditText::stored(const QVariant& current, const QString& text) {
    if (current.toString() == text)
        return current;
    return text.isEmpty() ? QVariant() : QVariant(text);
}
