#include "reports/BlankAllValues.h"

#include "reports/MemoryTable.h"

void BlankAllValues(MemoryTable& table) {
    table.first();
    while (!table.eof()) {
        for (int column = 0; column < table.fieldCount(); ++column)
            table.setValue(column, QString(""));
        table.next();
    }
}
