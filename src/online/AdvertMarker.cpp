#include "online/AdvertMarker.h"

namespace {
QString asciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return text;
}
} // namespace

bool HasDoneMarker(const QString& html) {
    return asciiUpper(html).contains(QStringLiteral("<!--DONE-->"));
}
