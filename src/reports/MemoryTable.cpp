#include "reports/MemoryTable.h"

#include <stdexcept>

MemoryTable::MemoryTable(const QString& name) : m_name(name) {}

MemoryField* MemoryTable::addField(const QString& fieldName, FieldKind kind) {
    if (!m_rows.empty())
        throw std::logic_error("MemoryTable: columns are added before rows");
    m_fields.push_back(std::make_unique<MemoryField>(this, fieldCount(), fieldName, kind));
    return m_fields.back().get();
}

void MemoryTable::first() {
    m_row = 0;
    m_eof = m_rows.empty();
}

void MemoryTable::next() {
    if (m_row + 1 < rowCount())
        ++m_row;
    else
        m_eof = true;
}

void MemoryTable::prior() {
    if (m_eof && !m_rows.empty())
        m_eof = false;
    else if (m_row > 0)
        --m_row;
}

void MemoryTable::removeAllRows() {
    m_rows.clear();
    m_row = 0;
    m_eof = true;
}

void MemoryTable::appendRow(const QVariantList& values) {
    if (values.size() > fieldCount())
        throw std::invalid_argument("MemoryTable: more values than columns");
    QVariantList row = values;
    while (row.size() < fieldCount())
        row.append(QVariant());
    m_rows.push_back(std::move(row));
    m_row = rowCount() - 1;
    m_eof = false;
}

void MemoryTable::setValue(int column, const QVariant& value) {
    if (!m_rows.empty() && column >= 0 && column < fieldCount())
        m_rows[m_row][column] = value;
}

QVariant MemoryTable::currentValue(int column) const {
    return valueAt(m_row, column);
}

QVariant MemoryTable::valueAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return {};
    return m_rows[row][column];
}
