#include "app/TkApplication.h"

#include "app/SilentAbort.h"
#include "data/DatabaseError.h"

#include <QMessageBox>

namespace {
TkApplication::ErrorObserver& errorObserver() {
    static TkApplication::ErrorObserver observer;
    return observer;
}
} // namespace

TkApplication::TkApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tessaro Kavelin"));
    setQuitOnLastWindowClosed(false);
}

bool TkApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const SilentAbort&) {
    } catch (const DatabaseError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

QString TkApplication::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void TkApplication::showError(const QString& message) {
    const QString text = errorText(message);
    if (errorObserver()) {
        errorObserver()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tessaro Kavelin"), text,
                    QMessageBox::Ok, activeWindow());
    box.exec();
}

void TkApplication::setErrorObserver(ErrorObserver observer) {
    errorObserver() = std::move(observer);
}
