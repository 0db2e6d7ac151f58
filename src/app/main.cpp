// Entry: working directory, single-instance guard, main window, update state, the other
// windows, "-h", message loop.
#include "app/CheckPrevious.h"
#include "app/ExitDeadline.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "online/UpdateStartup.h"

#include <QDir>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

// Arms the exit deadline at once, so the process ends in time even when the window is too busy
// to read the signal, and wakes the event loop; errno is kept, so the interrupted code sees its
// own value.
void onSignal(int) {
    const int savedErrno = errno;
    ExitDeadline::arm(0);
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void installHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// SIGTERM and SIGINT take the same way out as "Exit", so settings are saved. The handlers are
// installed at once, so that a signal arriving during start-up waits in the pipe (the data
// layer keeps them in place when the database engine loads).
void catchSignals() {
    ExitDeadline::start();
    if (::pipe2(g_signalPipe, O_CLOEXEC) == 0)
        installHandlers();
}

// Runs `onSignal` on the main thread when a signal has come in.
void watchSignals(QObject* owner, std::function<void()> onSignal) {
    if (g_signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [onSignal] {
        char byte;
        [[maybe_unused]] auto n = ::read(g_signalPipe[0], &byte, 1);
        onSignal();
    });
}

int fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "tessaro-kavelin: %s: %s\n", what, qPrintable(detail.simplified()));
    ExitDeadline::arm(1);
    return 1;
}
// The running instance did not come forward: say so once instead of ending silently, so the
// user knows why no window appears.
void tellPreviousHangs() {
    const QString text = QStringLiteral(
        "Tessaro Kavelin is already running but does not respond. Wait a moment and start it "
        "again, or end the running program and start it again");
    std::fprintf(stderr, "tessaro-kavelin: %s\n", qPrintable(text));
    // A signal closes the message (exit ends every running event loop, the box's too).
    QObject guard;
    watchSignals(&guard, [] { QCoreApplication::exit(0); });
    TkApplication::showError(text);
}
} // namespace

int main(int argc, char** argv) {
    // Everything the program writes (backups, settings, reports, replies, unpacked updates) is
    // the user's own: readable by nobody else, whatever umask the desktop set.
    ::umask(077);
    catchSignals();
    TkApplication app(argc, argv);
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath()))
        return fail("cannot change to the program folder", QCoreApplication::applicationDirPath());

    CheckPrevious guard(QCoreApplication::applicationFilePath());
    try {
        if (guard.ActivatePreviousInstance(quint32(::getpid()), 1)) {
            if (!guard.previousAnswered())
                tellPreviousHangs();
            return 0;
        }
    } catch (const std::exception& e) {
        return fail("single-instance block", QString::fromLocal8Bit(e.what()));
    }

    std::unique_ptr<TMF> tmf;
    try {
        tmf = std::make_unique<TMF>();
        if (const QString warning = tmf->settings().loadWarning(); !warning.isEmpty())
            std::fprintf(stderr, "tessaro-kavelin: %s\n", qPrintable(warning));
        app.setWindowIcon(tmf->windowIcon());
        const int updateState = tmf->databases().SYS_MM.QueryInteger(
            QStringLiteral("COM"), QStringLiteral("HVX"), QStringLiteral("ID=4"));
        // An installed update, or one not yet confirmed, hands over to the updater.
        if (UpdateStartup::run(tmf->databases(), updateState, QDir::currentPath())) {
            UpdateStartup::LaunchReplica(QDir::currentPath(),
                                         QCoreApplication::applicationFilePath());
            tmf->exitProgram();
            return 0;
        }
        tmf->createWindows();
    } catch (const DatabaseError& e) {
        return fail("cannot open the databases", e.message());
    } catch (const std::exception& e) {
        return fail("start failed", QString::fromLocal8Bit(e.what()));
    }

    guard.listenForActivation([&tmf] { tmf->bringForward(); });
    watchSignals(tmf.get(), [tmf = tmf.get()] { tmf->exitProgram(); });
    if (argc > 1 && std::strcmp(argv[1], "-h") == 0)
        tmf->startMinimised();
    else
        tmf->show();
    const int rc = app.exec();
    // Every way out (Exit, Ctrl+Q, a signal, a lost display) ends within a bounded time.
    ExitDeadline::arm(rc);
    tmf->exitProgram();
    tmf.reset();
    return rc;
}
