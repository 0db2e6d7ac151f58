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
        return QLocale().toString(dt, field.displayFormat());
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

QString ValueFormatter::variantText(const QVariant& value) {
    if (VariantMath::isNull(value))
        return {};
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (VariantMath::isFloating(value))
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}
