#pragma once

#include "reports/MemoryField.h"
#include "reports/ReportDataSet.h"

#include <QVariantList>
#include <memory>
#include <vector>

// An in-memory table of rows and fields with a cursor, the data set that pages fill for the
// report engine. At end of data the cursor stays on the last row, whose values stay readable.
class MemoryTable : public ReportDataSet {
public:
    explicit MemoryTable(const QString& name);

    // Adds a column; columns are added before rows.
    MemoryField* addField(const QString& fieldName, FieldKind kind = FieldKind::Variant);

    QString name() const override { return m_name; }
    bool isOpen() const override { return m_open; }
    void setOpen(bool open) { m_open = open; }
    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override { return m_eof; }
    int fieldCount() const override { return int(m_fields.size()); }
    MemoryField* field(int index) const override { return m_fields[index].get(); }

    int rowCount() const { return int(m_rows.size()); }
    // Index of the current row, -1 when the table is empty.
    int currentRow() const { return m_rows.empty() ? -1 : m_row; }
    void removeAllRows();
    // Appends a row, one value per column in column order (missing values are null), and makes
    // it the current row.
    void appendRow(const QVariantList& values);
    // Assigns a value to a column of the current row (nothing when the table is empty).
    void setValue(int column, const QVariant& value);

    QVariant currentValue(int column) const;
    QVariant valueAt(int row, int column) const;

private:
    QString m_name;
    bool m_open = true;
    std::vector<std::unique_ptr<MemoryField>> m_fields;
    std::vector<QVariantList> m_rows;
    int m_row = 0;
    bool m_eof = true;
};
