#include "app/ExitDeadline.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <semaphore.h>
#include <thread>
#include <unistd.h>

namespace {
std::atomic_flag g_armed = ATOMIC_FLAG_INIT;
std::atomic<bool> g_started{false};
std::atomic<int> g_exitCode{0};
std::atomic<int> g_milliseconds{ExitDeadline::DefaultMilliseconds};
sem_t g_wake;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

[[noreturn]] void endWhenDue(int exitCode, int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    static const char line[] = "tessaro-kavelin: the program did not end in time; ending it\n";
    [[maybe_unused]] auto n = ::write(2, line, sizeof line - 1);
    ::_exit(exitCode);
}
} // namespace

void ExitDeadline::start() {
    if (g_started.load() || sem_init(&g_wake, 0, 0) != 0)
        return;
    std::thread([] {
        while (sem_wait(&g_wake) != 0)
            if (errno != EINTR)
                return;
        endWhenDue(g_exitCode.load(), g_milliseconds.load());
    }).detach();
    g_started.store(true);
}

void ExitDeadline::arm(int exitCode, int milliseconds) {
    if (g_armed.test_and_set())
        return;
    g_exitCode.store(exitCode);
    g_milliseconds.store(milliseconds);
    if (g_started.load())
        sem_post(&g_wake);
    else
        std::thread([exitCode, milliseconds] { endWhenDue(exitCode, milliseconds); }).detach();
}
