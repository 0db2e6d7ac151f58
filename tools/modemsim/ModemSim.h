#pragma once

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// A simulated Hayes modem behind the master side of a pseudo-terminal: answers AT commands
// like a voice modem, plays a scripted outcome for each dialled number and logs what it
// received and sent.
class ModemSim {
public:
    using Clock = std::chrono::steady_clock;

    // What happens after ATDT<number>; with the delay before the result, in milliseconds.
    struct Outcome {
        std::string kind = "answer"; // answer, busy, nocarrier, nodialtone, noanswer, error, silent
        int delayMs = 2000;
        int hangUpMs = -1; // answer only: the far end hangs up this long after answering
    };

    // Parses "busy", "busy:500", "answer:1000:3000"; answers false for an unknown kind.
    static bool parseOutcome(const std::string& text, Outcome& outcome);

    ModemSim(int masterFd, FILE* log);

    void setOutcome(const std::string& number, const Outcome& outcome) {
        m_outcomes[number] = outcome;
    }
    void setDefaultOutcome(const Outcome& outcome) { m_default = outcome; }
    // A modem that has stopped answering: reads and logs, replies nothing.
    void setMute(bool mute) { m_mute = mute; }

    // Feeds bytes read from the terminal.
    void received(const char* data, size_t size);
    // Sends the results whose time has come; answers the milliseconds to the next one, or -1.
    int runDue();

private:
    struct Pending {
        Clock::time_point at;
        std::string text;
    };

    void command(const std::string& line);
    void dial(const std::string& number);
    void reply(const std::string& text);
    void schedule(int delayMs, const std::string& text);
    void log(const char* direction, const std::string& text);

    int m_fd;
    FILE* m_log;
    std::string m_line;
    bool m_echo = true;
    bool m_mute = false;
    std::map<std::string, Outcome> m_outcomes;
    Outcome m_default;
    std::vector<Pending> m_pending;
};
