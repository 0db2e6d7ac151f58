// replica [--wait-ms N] PROGRAM: finishes an installed update once PROGRAM has ended, then
// starts PROGRAM again. Without the success marker the program hands over again at its next
// start, so a failed run is simply repeated; it never restarts the program itself then, which
// would hand over straight back.
#include "Replica.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int DefaultWaitMs = 60000;

// Descriptors inherited from the program (its database files with their locks among them)
// are closed first, so the program started again can open its databases.
void closeInheritedDescriptors() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return;
    const int own = ::dirfd(dir);
    std::vector<int> fds;
    while (const dirent* e = ::readdir(dir)) {
        const int fd = std::atoi(e->d_name);
        if (fd > 2 && fd != own)
            fds.push_back(fd);
    }
    ::closedir(dir);
    for (int fd : fds)
        ::close(fd);
}

// Reports in temp/replica.log (the updater runs without a console) and on standard error.
void report(const Replica& replica, const QString& line) {
    QFile log(replica.tempDir() + QStringLiteral("/replica.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(
            (QDateTime::currentDateTime().toString(Qt::ISODate) + u' ' + line + u'\n').toUtf8());
    std::fprintf(stderr, "replica: %s\n", qPrintable(line));
}
} // namespace

int main(int argc, char** argv) {
    closeInheritedDescriptors();
    // The program's standard error may be a pipe whose reader has gone with the program;
    // writing to it must not end the updater (nor the program it starts, which inherits this).
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int waitMs = DefaultWaitMs;
    if (args.size() == 3 && args[0] == QLatin1String("--wait-ms")) {
        waitMs = args[1].toInt();
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: replica [--wait-ms N] PROGRAM\n");
        return 2;
    }
    Replica replica(args[0]);
    if (!replica.waitForProgramEnd(waitMs)) {
        report(replica, QStringLiteral("the program is still running; nothing copied"));
        return 1;
    }
    if (!replica.copyUpdate() || !replica.writeMarker()) {
        report(replica, QStringLiteral("update not finished, old files kept: ") + replica.error());
        return 1;
    }
    report(replica, QStringLiteral("update finished"));
    if (!replica.restartProgram()) {
        report(replica, QStringLiteral("cannot start the program again"));
        return 1;
    }
    return 0;
}
