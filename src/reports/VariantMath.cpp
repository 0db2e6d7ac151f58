#include "reports/VariantMath.h"

#include <cmath>
#include <limits>

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

int sign(double d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

} // namespace

bool VariantMath::isIntegral(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool VariantMath::isFloating(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool VariantMath::isDateLike(const QVariant& v) {
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QTime ||
           v.typeId() == QMetaType::QDateTime;
}

int VariantMath::compare(const QVariant& a, const QVariant& b) {
    if (isNull(a) || isNull(b))
        return int(!isNull(a)) - int(!isNull(b));
    if (isIntegral(a) && isIntegral(b)) {
        const qint64 x = a.toLongLong();
        const qint64 y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const bool aNumeric = isIntegral(a) || isFloating(a);
    const bool bNumeric = isIntegral(b) || isFloating(b);
    if ((aNumeric || isDateLike(a)) && (bNumeric || isDateLike(b))) {
        const double x = isDateLike(a) ? toDays(a) : a.toDouble();
        const double y = isDateLike(b) ? toDays(b) : b.toDouble();
        return sign(x - y);
    }
    // Texts hold Latin-1 characters, whose UTF-16 order is their byte order.
    return QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
}

bool VariantMath::same(const QVariant& a, const QVariant& b) {
    return compare(a, b) == 0;
}

QVariant VariantMath::add(const QVariant& sum, const QVariant& value) {
    if (isNull(value))
        return sum;
    if (isDateLike(value))
        return isNull(sum) ? QVariant(toDays(value)) : QVariant(sum.toDouble() + toDays(value));
    if (isNull(sum))
        return isIntegral(value) ? QVariant(value.toLongLong()) : QVariant(value.toDouble());
    if (isIntegral(sum) && isIntegral(value)) {
        qint64 result = 0;
        if (!__builtin_add_overflow(sum.toLongLong(), value.toLongLong(), &result))
            return QVariant(result);
    }
    return QVariant(sum.toDouble() + value.toDouble());
}

QVariant VariantMath::divide(const QVariant& sum, int count) {
    if (isNull(sum) || count <= 0)
        return {};
    if (isIntegral(sum))
        return QVariant(sum.toLongLong() / count);
    return QVariant(sum.toDouble() / count);
}

double VariantMath::toDays(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDate:
        return double(kDayZero.daysTo(v.toDate()));
    case QMetaType::QTime:
        return v.toTime().msecsSinceStartOfDay() / kMsPerDay;
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return double(kDayZero.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / kMsPerDay;
    }
    default:
        return v.toDouble();
    }
}

QDateTime VariantMath::fromDays(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    const double whole = std::floor(days);
    int ms = int(std::lround((days - whole) * kMsPerDay));
    qint64 dayCount = qint64(whole);
    if (ms >= int(kMsPerDay)) {
        ms = 0;
        ++dayCount;
    }
    return QDateTime(kDayZero.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(ms));
}

QDateTime VariantMath::toDateTime(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(kDayZero, v.toTime());
    case QMetaType::QDateTime:
        return v.toDateTime();
    default:
        return fromDays(v.toDouble());
    }
}
