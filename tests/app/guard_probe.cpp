// A tiny program that takes the single-instance guard the way the real program does, so tests
// can run several real processes against one block. Prints "admitted N", "refused" or
// "unanswered" (refused, and the running instance did not answer within the wait given as the
// first argument in milliseconds), then "activated" whenever a later start asks it to come
// forward; ends when its input closes.
#include "app/CheckPrevious.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
