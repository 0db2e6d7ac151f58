#pragma once

#include <QString>

// Makes user text safe to place inside an RTF document: backslash and braces are escaped,
// characters above 127 become \'hh (Latin-1; characters outside Latin-1 become '?'), line breaks
// become paragraph marks and tabs become tab marks.
class RtfEscape {
public:
    static QString escape(const QString& text);
};
