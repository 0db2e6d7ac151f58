#include "reports/RtfEscape.h"

QString RtfEscape::escape(const QString& text) {
    static const char hex[] = "0123456789abcdef";
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
            // 128-159 too: as \'hh a reader of the document's code page 1252 would take them
            // for the letters (\'80 is the euro sign), not the characters the list shows.
            if (c > 255 || (c >= 128 && c < 160)) {
                // One \uN per UTF-16 unit (so a surrogate pair gives two), N signed 16-bit as
                // RTF wants it, with '?' for readers that know no Unicode.
                out += QLatin1String("\\u");
                out += QString::number(int(c) > 32767 ? int(c) - 65536 : int(c));
                out += u'?';
            } else if (c > 127) {
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
