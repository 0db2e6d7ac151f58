#pragma once

#include <QString>

// Makes user text safe to place inside an RTF document: backslash and braces are escaped,
// characters 160-255 become \'hh, characters 128-159 and beyond Latin-1 become \uN? (a character
// beyond 16 bits as its surrogate pair), line breaks become paragraph marks and tabs become tab
// marks. The result is plain ASCII.
class RtfEscape {
public:
    static QString escape(const QString& text);
};
