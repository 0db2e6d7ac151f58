#include "personal/Prompt.h"

#include <optional>

namespace {
std::optional<QMessageBox::StandardButton>& nextAnswer() {
    static std::optional<QMessageBox::StandardButton> answer;
    return answer;
}
QString& last() {
    static QString text;
    return text;
}
} // namespace

QMessageBox::StandardButton Prompt::ask(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& text, QMessageBox::StandardButtons buttons) {
    last() = text;
    if (nextAnswer()) {
        const QMessageBox::StandardButton answer = *nextAnswer();
        nextAnswer().reset();
        return answer;
    }
    QMessageBox box(icon, QStringLiteral("Tessaro Kavelin"), text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

bool Prompt::confirm(QWidget* parent, const QString& text) {
    return ask(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void Prompt::inform(QWidget* parent, const QString& text) {
    ask(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

void Prompt::setNextAnswer(QMessageBox::StandardButton answer) {
    nextAnswer() = answer;
}

QString Prompt::lastText() {
    return last();
}
