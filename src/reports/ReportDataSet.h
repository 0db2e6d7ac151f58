#pragma once

#include "reports/ReportField.h"

#include <QString>

// A data set as the report engine reads it: a name, an open flag, a cursor that moves over its
// records, and its fields in column order. The engine never owns data sets.
class ReportDataSet {
public:
    virtual ~ReportDataSet() = default;

    virtual QString name() const = 0;
    virtual bool isOpen() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    // True when positioned past the last record, and always for an empty data set.
    virtual bool eof() const = 0;
    virtual int fieldCount() const = 0;
    virtual ReportField* field(int index) const = 0;

    // The first field whose name equals the name, ASCII letter case ignored, or nullptr.
    ReportField* findField(const QString& fieldName) const;
    ReportField* findField(const QByteArray& latin1Name) const;
};
