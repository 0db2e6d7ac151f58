#include "reports/ReportDataSet.h"

#include "reports/AsciiText.h"

ReportField* ReportDataSet::findField(const QString& fieldName) const {
    return findField(fieldName.toLatin1());
}

ReportField* ReportDataSet::findField(const QByteArray& wanted) const {
    for (int i = 0; i < fieldCount(); ++i) {
        ReportField* f = field(i);
        if (AsciiText::equalsIgnoreCase(f->name(), wanted))
            return f;
    }
    return nullptr;
}
