#pragma once

// Bounds the time the process takes to end: once armed, a watcher thread ends the process
// with the given code if it is still running when the time is up, whatever hangs (the
// database engine's shutdown, a file system that does not answer, a window that is busy).
class ExitDeadline {
public:
    static constexpr int DefaultMilliseconds = 10000;

    // Starts the watcher thread, asleep until the deadline is armed. Called once, early in
    // main, so that arm() can then be called from a signal handler.
    static void start();
    // Arms the deadline once; later calls keep the first one. After start() this only stores
    // two numbers and posts a semaphore, which is safe inside a signal handler.
    static void arm(int exitCode, int milliseconds = DefaultMilliseconds);
};
