#include "personal/EditorFields.h"

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
    if (limit <= 0 || memo->toPlainText().size() <= limit)
        return;
    memo->setPlainText(memo->toPlainText().left(limit));
    memo->moveCursor(QTextCursor::End);
}
