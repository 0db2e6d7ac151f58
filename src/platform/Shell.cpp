#include "platform/Shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {
Shell::Observer& observer() {
    static Shell::Observer o;
    return o;
}

QString& opener() {
    static QString program = QStringLiteral("xdg-open");
    return program;
}

// Runs the opener on the address and reports, once, when it fails to start or ends with a
// failure soon after. The process has no parent and is not waited for: a viewer that the
// opener runs in the foreground stays open when the program ends.
void runOpener(const QUrl& url, std::function<void()> unopened) {
    auto* process = new QProcess;
    process->setProgram(opener());
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(process, &QProcess::finished, process,
                     [process, unopened, started](int code, QProcess::ExitStatus status) {
                         if ((code != 0 || status != QProcess::NormalExit) &&
                             started->elapsed() < Shell::FailureWindowMs)
                             unopened();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, unopened](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         unopened();
                         process->deleteLater();
                     });
    process->start();
}
} // namespace

bool Shell::open(const QUrl& url, std::function<void()> unopened) {
    if (observer()) {
        observer()(url);
        return true;
    }
    if (!unopened)
        return QDesktopServices::openUrl(url);
    runOpener(url, std::move(unopened));
    return true;
}

bool Shell::openFile(const QString& path, std::function<void()> unopened) {
    return open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()), std::move(unopened));
}

void Shell::setObserver(Observer o) {
    observer() = std::move(o);
}

void Shell::setOpener(const QString& program) {
    opener() = program.isEmpty() ? QStringLiteral("xdg-open") : program;
}

void Shell::openWith(const QString& path, std::function<void()> unavailable) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (observer()) {
        url.setFragment(QStringLiteral("open-with"));
        observer()(url);
        return;
    }
    auto fail = [unavailable] {
        if (unavailable)
            QTimer::singleShot(0, unavailable);
    };
    auto file = std::make_shared<QFile>(url.toLocalFile());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !file->open(QIODevice::ReadOnly))
        return fail();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenFile"));
    call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(file->handle()))
         << QVariantMap{{QStringLiteral("ask"), true}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, file, unavailable](QDBusPendingCallWatcher*) {
                         if (watcher->isError() && unavailable)
                             unavailable();
                         watcher->deleteLater();
                     });
}
