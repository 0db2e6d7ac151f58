#include "reports/ReportTable.h"

ReportTable::ReportTable(Layout layout) : MemoryTable(QStringLiteral("DS")), m_layout(layout) {
    for (const QString& column : columnNames(layout))
        addField(column, FieldKind::Variant);
}

QStringList ReportTable::columnNames(Layout layout) {
    if (layout == Layout::Ptcl)
        return {QStringLiteral("SNO"), QStringLiteral("PHONE"), QStringLiteral("TITLE"),
                QStringLiteral("ADDRESS")};
    return {QStringLiteral("SNO"),      QStringLiteral("TITLE"),      QStringLiteral("ADDRESS"),
            QStringLiteral("ZIP CODE"), QStringLiteral("PHONE"),      QStringLiteral("FAX"),
            QStringLiteral("MOBILE"),   QStringLiteral("UAN"),        QStringLiteral("EMAIL"),
            QStringLiteral("WEB SITE"), QStringLiteral("PERSON"),     QStringLiteral("DESIGNATION"),
            QStringLiteral("BUSINESS"), QStringLiteral("DESCRIPTION")};
}
