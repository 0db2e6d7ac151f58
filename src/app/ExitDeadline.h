#pragma once

// Bounds the time the process takes to end: once armed, a watcher thread ends the process
// with the given code if it is still running when the time is up, whatever hangs (the
// database engine's shutdown, a file system that does not answer).
class ExitDeadline {
public:
    static constexpr int DefaultMilliseconds = 10000;

    // Arms the deadline once; later calls keep the first one.
    static void arm(int exitCode, int milliseconds = DefaultMilliseconds);
};
