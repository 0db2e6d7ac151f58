#include "reports/RtfEscape.h"

#include "app/Helpers.h"

QString RtfEscape::escape(const QString& userText) {
    static const char hex[] = "0123456789abcdef";
    const QString text = latin1Safe(userText);
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'{':
            out += QLatin1String("\\{");
            break;
        case u'}':
            out += QLatin1String("\\}");
            break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QLatin1String("\\par ");
            break;
        case u'\n':
            out += QLatin1String("\\par ");
            break;
        case u'\t':
            out += QLatin1String("\\tab ");
            break;
        default:
            if (c > 127) {
                out += QLatin1String("\\'");
                out += QLatin1Char(hex[c >> 4]);
                out += QLatin1Char(hex[c & 15]);
            } else {
                out += QChar(c);
            }
        }
    }
    return out;
}
