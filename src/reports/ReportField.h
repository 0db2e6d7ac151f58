#pragma once

#include "reports/FieldKind.h"

#include <QString>
#include <QVariant>

// One field of a data set as the report engine reads it: name, kind, current value and the
// formatting properties of numeric and date/time fields. An invalid QVariant is a null value.
class ReportField {
public:
    virtual ~ReportField() = default;

    virtual QString name() const = 0;
    virtual FieldKind kind() const = 0;
    // The value of the current record; an invalid QVariant for null.
    virtual QVariant value() const = 0;
    // The value of the current record as text, empty for null.
    virtual QString displayText() const = 0;

    virtual QString displayFormat() const { return {}; }
    virtual QString editFormat() const { return {}; }
    virtual bool isCurrency() const { return false; }
    // Significant digits of the general number form of floating-point fields.
    virtual int precision() const { return 15; }
};
