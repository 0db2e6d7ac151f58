#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Modal questions and messages of the personal directory, titled "Tessaro Kavelin". Tests
// queue the answer of the next question or message, which is then not shown at all.
class Prompt {
public:
    // A Yes/No question with the confirmation icon; answers whether Yes was chosen.
    static bool confirm(QWidget* parent, const QString& text);
    // A message with the information icon and an OK button.
    static void inform(QWidget* parent, const QString& text);

    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The text of the last question or message asked.
    static QString lastText();

private:
    static QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons);
};
