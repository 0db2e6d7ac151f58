#pragma once

#include "reports/MemoryTable.h"

#include <QStringList>

// The report table DS of a directory page, in the contact layout (personal and business pages)
// or the PTCL layout. Its columns are untyped: SNO holds an integer, the others texts.
class ReportTable : public MemoryTable {
public:
    enum class Layout { Contact, Ptcl };

    explicit ReportTable(Layout layout);

    Layout layout() const { return m_layout; }
    static QStringList columnNames(Layout layout);

private:
    Layout m_layout;
};
