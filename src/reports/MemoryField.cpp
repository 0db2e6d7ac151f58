#include "reports/MemoryField.h"

#include "reports/MemoryTable.h"
#include "reports/ValueFormatter.h"

MemoryField::MemoryField(const MemoryTable* table, int column, const QString& name, FieldKind kind)
    : m_table(table), m_column(column), m_name(name), m_kind(kind) {}

QVariant MemoryField::value() const {
    return m_table->currentValue(m_column);
}

QString MemoryField::displayText() const {
    return ValueFormatter::variantText(value());
}
