#pragma once

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QString;

// Live text rules on editor boxes, shared by the folder and contact editors.
class EditorFields {
public:
    // Replaces the box's text with clean(text) when that differs, the cursor kept on the same
    // character (the removed backslashes before it taken into account).
    static void clean(QLineEdit* box, const std::function<QString(const QString&)>& clean);
    // Cuts a memo to `limit` characters (no limit when not positive), the cursor at the end.
    // Characters are counted as the database counts them: an emoji is one, never split.
    static void limit(QPlainTextEdit* memo, int limit);
    // Keeps a box within `characters` characters, counted like `limit` (the box's own maximum
    // counts UTF-16 units, so it alone would halve the room for emoji or split one).
    static void limitLength(QLineEdit* box, int characters);
};
