#include "personal/EditorFields.h"

#include "app/Helpers.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void EditorFields::clean(QLineEdit* box, const std::function<QString(const QString&)>& clean) {
    const QString text = box->text();
    const QString cleaned = clean(text);
    if (cleaned == text)
        return;
    const int cursor = box->cursorPosition();
    const int removed = int(QStringView(text).left(cursor).count(u'\\'));
    box->setText(cleaned);
    box->setCursorPosition(cursor - removed);
}

void EditorFields::limit(QPlainTextEdit* memo, int limit) {
    const QString text = memo->toPlainText();
    if (limit <= 0 || text.size() <= limit)
        return;
    const QString cut = LeftCharacters(text, limit);
    if (cut.size() == text.size())
        return;
    memo->setPlainText(cut);
    memo->moveCursor(QTextCursor::End);
}

namespace {
const char* const LimitProperty = "characterLimit";
}

void EditorFields::limitLength(QLineEdit* box, int characters) {
    const int limit = characters > 0 ? characters : 0;
    // A character takes at most two UTF-16 units.
    box->setMaxLength(limit > 0 ? qMin(2 * limit, 32767) : 32767);
    const bool hooked = box->property(LimitProperty).isValid();
    box->setProperty(LimitProperty, limit);
    if (hooked)
        return;
    QObject::connect(box, &QLineEdit::textChanged, box, [box] {
        const int n = box->property(LimitProperty).toInt();
        const QString text = box->text();
        if (n <= 0 || text.size() <= n)
            return;
        const QString cut = LeftCharacters(text, n);
        if (cut.size() == text.size())
            return;
        const int cursor = box->cursorPosition();
        box->setText(cut);
        box->setCursorPosition(qMin(cursor, int(cut.size())));
    });
}
