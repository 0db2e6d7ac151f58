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
    static void limit(QPlainTextEdit* memo, int limit);
};
