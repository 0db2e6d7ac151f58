#include "personal/EditText.h"

QString EditText::withoutBackslashes(const QString& text) {
    QString result = text;
    result.remove(u'\\');
    return result;
}

QString EditText::latin1Upper(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
            c = QChar(char16_t(u - 32));
    }
    return upper;
}

QVariant EditText::stored(const QVariant& current, const QString& text) {
    if (current.toString() == text)
        return current;
    return text.isEmpty() ? QVariant() : QVariant(text);
}
