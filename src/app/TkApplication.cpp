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
        showError(e.message(), qobject_cast<QWidget*>(receiver));
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()), qobject_cast<QWidget*>(receiver));
    }
    return false;
}

QString TkApplication::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void TkApplication::showError(const QString& message, QWidget* over) {
    const QString text = errorText(message);
    if (errorObserver()) {
        errorObserver()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tessaro Kavelin"), text,
                    QMessageBox::Ok);
    placeOver(&box, over);
    box.exec();
}

namespace {
bool shownWindow(const QWidget* w) {
    return w && w->isVisible() && !w->isMinimized() &&
           !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip ||
             w->windowType() == Qt::SplashScreen);
}
} // namespace

QWidget* TkApplication::errorParent(QWidget* over) {
    // Right after a dialog closes no window is active for a moment (the desktop hands the
    // focus back later), so the active window alone is not enough.
    for (QWidget* w : {activeModalWidget(), activeWindow(), over ? over->window() : nullptr})
        if (shownWindow(w))
            return w;
    QWidget* any = nullptr;
    for (QWidget* w : topLevelWidgets()) {
        if (!shownWindow(w))
            continue;
        if (w->windowFlags() & Qt::WindowStaysOnTopHint)
            return w;
        if (!any)
            any = w;
    }
    return any;
}

void TkApplication::placeOver(QWidget* box, QWidget* over) {
    QWidget* parent = errorParent(over);
    if (!parent)
        return;
    const Qt::WindowFlags flags = box->windowFlags();
    box->setParent(parent, flags);
    // A box under a window that stays on top would be hidden by it.
    if (parent->windowFlags() & Qt::WindowStaysOnTopHint)
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
}

void TkApplication::setErrorObserver(ErrorObserver observer) {
    errorObserver() = std::move(observer);
}
