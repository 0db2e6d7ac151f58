// A tiny program that takes the single-instance guard the way the real program does, so tests
// can run several real processes against one block. Prints "admitted N", "refused" or
// "unanswered" (refused, and the running instance did not answer within the wait given as the
// first argument in milliseconds), then "activated" whenever a later start asks it to come
// forward; ends when its input closes. With "--connect PATH" it is a client of an activation
// socket instead (see connectTo).
#include "app/CheckPrevious.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
// "--connect PATH": connects to an activation socket as a later start does and prints
// "unreachable", "ok" (answered) or "unanswered".
int connectTo(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(2000)) {
        std::printf("unreachable\n");
        return 0;
    }
    socket.write("activate\n");
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState)
        if (!socket.waitForReadyRead(2000))
            break;
    std::printf(socket.canReadLine() && socket.readLine() == "ok\n" ? "ok\n" : "unanswered\n");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--connect") == 0)
        return connectTo(QString::fromLocal8Bit(argv[2]));
    CheckPrevious guard(QCoreApplication::applicationFilePath());
    if (argc > 1)
        guard.setAnswerWait(std::atoi(argv[1]));
    if (guard.ActivatePreviousInstance(quint32(getpid()), 1)) {
        std::printf(guard.previousAnswered() ? "refused\n" : "unanswered\n");
        return 0;
    }
    std::printf("admitted %d\n", guard.runningCount());
    std::fflush(stdout);
    guard.listenForActivation([] {
        std::printf("activated\n");
        std::fflush(stdout);
    });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (::read(0, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}
