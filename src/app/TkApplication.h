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
    // Shows the message box (error icon, OK, title "Tessaro Kavelin"), or hands the text to
    // the observer that tests install.
    static void showError(const QString& message);
    using ErrorObserver = std::function<void(const QString&)>;
    static void setErrorObserver(ErrorObserver observer);
};
