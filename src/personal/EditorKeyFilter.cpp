#include "personal/EditorKeyFilter.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QWidget>

void EditorKeyFilter::watch(QWidget* field, bool refuseBackslash) {
    field->installEventFilter(this);
    if (refuseBackslash)
        m_noBackslash.insert(field);
}

bool EditorKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_noBackslash.contains(watched) && key->text().contains(u'\\'))
        return true;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const bool memo = qobject_cast<QPlainTextEdit*>(watched) != nullptr;
        if (memo && (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* next = widget ? widget->nextInFocusChain() : nullptr;
        while (next && next != widget &&
               !(next->focusPolicy() & Qt::TabFocus && next->isEnabled() && next->isVisible()))
            next = next->nextInFocusChain();
        if (next && next != widget)
            next->setFocus(Qt::TabFocusReason);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
