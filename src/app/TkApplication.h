#pragma once

#include <QApplication>
#include <functional>

// The application object: the one place where an exception leaving an event handler becomes
// the general error display (SilentAbort is swallowed without a message).
class TkApplication : public QApplication {
    Q_OBJECT
public:
    TkApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error's text with a full stop added when its last character sorts after '.'.
    static QString errorText(const QString& message);
    // Shows the message box (error icon, OK, title "Tessaro Kavelin") above the window the user
    // works in, or hands the text to the observer that tests install. `over` names the window
    // the error belongs to, used when no window of the program is active.
    static void showError(const QString& message, QWidget* over = nullptr);
    // The window an error box is shown over: the modal window, else the active one, else the
    // window of `over`, else the program's visible window that stays on top, else any visible
    // window of the program.
    static QWidget* errorParent(QWidget* over = nullptr);
    // Makes the box a child of errorParent(over) that stays on top when its parent does.
    static void placeOver(QWidget* box, QWidget* over = nullptr);
    using ErrorObserver = std::function<void(const QString&)>;
    static void setErrorObserver(ErrorObserver observer);
};
