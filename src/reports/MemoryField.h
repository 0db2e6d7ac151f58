#pragma once

#include "reports/ReportField.h"

class MemoryTable;

// One column of a MemoryTable: reads the value of the table's current row.
class MemoryField : public ReportField {
public:
    MemoryField(const MemoryTable* table, int column, const QString& name, FieldKind kind);

    QString name() const override { return m_name; }
    FieldKind kind() const override { return m_kind; }
    QVariant value() const override;
    QString displayText() const override;
    QString displayFormat() const override { return m_displayFormat; }
    QString editFormat() const override { return m_editFormat; }
    bool isCurrency() const override { return m_currency; }
    int precision() const override { return m_precision; }

    void setDisplayFormat(const QString& format) { m_displayFormat = format; }
    void setEditFormat(const QString& format) { m_editFormat = format; }
    void setCurrency(bool currency) { m_currency = currency; }
    void setPrecision(int precision) { m_precision = precision; }

private:
    const MemoryTable* m_table;
    int m_column;
    QString m_name;
    FieldKind m_kind;
    QString m_displayFormat;
    QString m_editFormat;
    bool m_currency = false;
    int m_precision = 15;
};
