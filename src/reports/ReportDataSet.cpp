#include "reports/ReportDataSet.h"

#include "reports/AsciiText.h"

ReportField* ReportDataSet::findField(const QString& fieldName) const {
    const QByteArray wanted = fieldName.toLatin1();
    for (int i = 0; i < fieldCount(); ++i) {
        ReportField* f = field(i);
        if (AsciiText::equalsIgnoreCase(f->name().toLatin1(), wanted))
            return f;
    }
    return nullptr;
}
