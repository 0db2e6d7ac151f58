#pragma once

class DataSetEditor;
class QString;

// The statements of the editing objects CDT of the folder and contact editors (select with
// ":VL", insert, modify by the row's old CD, refresh, key generator).
class EditingStatements {
public:
    static void configureFolder(DataSetEditor& editor);
    static void configureContact(DataSetEditor& editor);
    // The 23 stored columns of a contact, in insert order.
    static const char* const* contactColumns(int* count);
};
