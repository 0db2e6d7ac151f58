#include "reports/ValueFormatter.h"

#include "reports/NumberPattern.h"
#include "reports/VariantMath.h"

#include <QLocale>
#include <algorithm>

namespace {

// The locale's long time format without its time-zone part.
QString longTimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.trimmed();
}

// Appends literal text to a QLocale pattern, quoted where it holds letters or quotes.
void appendLiteral(QString& pattern, const QString& text) {
    if (text.isEmpty())
        return;
    bool plain = true;
    for (QChar c : text)
        plain = plain && !c.isLetter() && c != u'\'';
    if (plain) {
        pattern += text;
        return;
    }
    QString quoted = text;
    quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
    pattern += u'\'' + quoted + u'\'';
}

// Length of the run of the same letter (either case) starting at i.
int runLength(const QString& format, int i) {
    int n = 1;
    while (i + n < format.size() && format[i + n].toLower() == format[i].toLower())
        ++n;
    return n;
}

QString formatFloat(const ReportField& field, const QVariant& value) {
    const double number = value.toDouble();
    const QString pattern =
        field.displayFormat().isEmpty() ? field.editFormat() : field.displayFormat();
    if (!pattern.isEmpty())
        return NumberPattern::format(number, pattern);
    if (field.isCurrency())
        return QLocale().toCurrencyString(number);
    QString text = QString::number(number, 'g', std::clamp(field.precision(), 1, 17));
    return text.replace(u'.', QLocale().decimalPoint());
}

QString formatInteger(const ReportField& field, const QVariant& value) {
    const QString pattern =
        field.displayFormat().isEmpty() ? field.editFormat() : field.displayFormat();
    if (!pattern.isEmpty())
        return NumberPattern::format(value.toDouble(), pattern);
    return QString::number(value.toLongLong());
}

QString formatDateTime(const ReportField& field, const QVariant& value) {
    const QDateTime dt = VariantMath::toDateTime(value);
    if (!dt.isValid())
        return ValueFormatter::variantText(value);
    if (!field.displayFormat().isEmpty())
        return QLocale().toString(dt, ValueFormatter::qtDatePattern(field.displayFormat()));
    switch (field.kind()) {
    case FieldKind::Date:
        return ValueFormatter::shortDate(dt.date());
    case FieldKind::Time:
        return ValueFormatter::longTime(dt.time());
    default:
        return ValueFormatter::dateAndTime(dt);
    }
}

} // namespace

QString ValueFormatter::formatAggregate(const ReportField& field, const QVariant& value) {
    if (VariantMath::isNull(value))
        return {};
    const FieldKind kind = field.kind();
    if (kind == FieldKind::Float || kind == FieldKind::Currency)
        return formatFloat(field, value);
    if (isIntegerKind(kind))
        return formatInteger(field, value);
    if (isDateTimeKind(kind))
        return formatDateTime(field, value);
    return variantText(value);
}

QString ValueFormatter::shortDate(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString ValueFormatter::longTime(const QTime& time) {
    return QLocale().toString(time, longTimeFormat());
}

QString ValueFormatter::dateAndTime(const QDateTime& dateTime) {
    if (dateTime.time() == QTime(0, 0))
        return shortDate(dateTime.date());
    return shortDate(dateTime.date()) + u' ' + longTime(dateTime.time());
}

QString ValueFormatter::qtDatePattern(const QString& format) {
    QString pattern;
    QString literal;
    const auto put = [&](const QString& part) {
        appendLiteral(pattern, literal);
        literal.clear();
        pattern += part;
    };
    QChar lastToken; // the last format letter, for "m" after "h"
    int i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = format.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            literal += format.mid(i + 1, stop - i - 1);
            i = int(stop) + 1;
            continue;
        }
        if (format.mid(i, 5).compare(QStringLiteral("am/pm"), Qt::CaseInsensitive) == 0) {
            put(c.isUpper() ? QStringLiteral("AP") : QStringLiteral("ap"));
            i += 5;
            continue;
        }
        if (format.mid(i, 3).compare(QStringLiteral("a/p"), Qt::CaseInsensitive) == 0) {
            put(c.isUpper() ? QStringLiteral("A") : QStringLiteral("a"));
            i += 3;
            continue;
        }
        if (format.mid(i, 4).compare(QStringLiteral("ampm"), Qt::CaseInsensitive) == 0) {
            put(QStringLiteral("AP"));
            i += 4;
            continue;
        }
        const int n = runLength(format, i);
        QChar token = lower;
        if (token == u'm' && lastToken == u'h')
            token = u'n';
        if (c.isLetter())
            lastToken = lower;
        switch (token.unicode()) {
        case 'y':
            put(n <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"));
            break;
        case 'm':
            put(QString(std::min(n, 4), u'M'));
            break;
        case 'n':
            put(n == 1 ? QStringLiteral("m") : QStringLiteral("mm"));
            break;
        case 'd':
            if (n <= 4)
                put(QString(n, u'd'));
            else
                put(QLocale().dateFormat(n == 5 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        case 'h':
            put(n == 1 ? QStringLiteral("h") : QStringLiteral("hh"));
            break;
        case 's':
            put(n == 1 ? QStringLiteral("s") : QStringLiteral("ss"));
            break;
        case 'z':
            put(QStringLiteral("zzz"));
            break;
        case 't':
            put(n == 1 ? QLocale().timeFormat(QLocale::ShortFormat) : longTimeFormat());
            break;
        case 'c':
            put(QLocale().dateFormat(QLocale::ShortFormat) + u' ' + longTimeFormat());
            break;
        default:
            literal += format.mid(i, n);
            break;
        }
        i += n;
    }
    appendLiteral(pattern, literal);
    return pattern;
}

QString ValueFormatter::variantText(const QVariant& value) {
    if (VariantMath::isNull(value))
        return {};
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (VariantMath::isFloating(value))
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}
