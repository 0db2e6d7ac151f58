#pragma once

#include <QString>

// The record kept with every node of the personal folder tree; fields are named after the CATE
// columns they hold.
struct FolderRow {
    int CD = 0;    // folder identifier
    QString TITLE; // folder title, never holding a backslash
    QString COM;   // comments
};
