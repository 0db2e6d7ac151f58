#include "interchange/ImportSummary.h"

#include <QStringList>

namespace {
QString count(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
} // namespace

QString ImportSummary::text() const {
    QStringList parts{count(imported, "contact imported", "contacts imported")};
    if (duplicates)
        parts << QStringLiteral("%1 skipped as duplicates").arg(duplicates);
    if (unreadable)
        parts << QStringLiteral("%1 unreadable").arg(unreadable);
    if (cut)
        parts << QStringLiteral("%1 cut to fit").arg(cut);
    QString result = parts.join(QStringLiteral(", "));
    if (cancelled)
        result += QStringLiteral(" (cancelled: the rest of the file was not read)");
    return result + u'.';
}
