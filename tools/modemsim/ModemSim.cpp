#include "ModemSim.h"

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace {
std::string upper(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
} // namespace

bool ModemSim::parseOutcome(const std::string& text, Outcome& outcome) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    static const char* kinds[] = {"answer",   "busy",  "nocarrier", "nodialtone",
                                  "noanswer", "error", "silent"};
    if (std::find(std::begin(kinds), std::end(kinds), parts[0]) == std::end(kinds))
        return false;
    outcome = Outcome();
    outcome.kind = parts[0];
    outcome.delayMs = parts[0] == "noanswer" ? 5000 : parts[0] == "answer" ? 2000 : 300;
    try {
        if (parts.size() > 1)
            outcome.delayMs = std::stoi(parts[1]);
        if (parts.size() > 2)
            outcome.hangUpMs = std::stoi(parts[2]);
    } catch (...) {
        return false;
    }
    return true;
}

ModemSim::ModemSim(int masterFd, FILE* log) : m_fd(masterFd), m_log(log) {}

void ModemSim::received(const char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            const std::string line = trimmed(m_line);
            m_line.clear();
            if (!line.empty())
                command(line);
        } else {
            m_line += c;
        }
    }
}

void ModemSim::command(const std::string& line) {
    log("RECV", line);
    if (m_mute)
        return;
    const std::string cmd = upper(line);
    if (cmd.rfind("AT", 0) != 0)
        return;
    if (m_echo) {
        const std::string echo = line + "\r";
        if (write(m_fd, echo.data(), echo.size()) < 0)
            return;
    }
    if (cmd.rfind("ATD", 0) == 0) {
        std::string number;
        for (char c : cmd.substr(3)) {
            if (std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#')
                number += c;
        }
        dial(number);
        return;
    }
    if (cmd == "ATH" || cmd == "ATH0")
        m_pending.clear(); // the call is dropped with whatever it still had to say
    if (cmd == "ATZ") {
        m_pending.clear();
        m_echo = true;
    }
    if (cmd == "ATE0")
        m_echo = false;
    if (cmd == "ATE1")
        m_echo = true;
    reply("OK");
}

void ModemSim::dial(const std::string& number) {
    const auto found = m_outcomes.find(number);
    const Outcome& outcome = found != m_outcomes.end() ? found->second : m_default;
    log("DIAL", number + " " + outcome.kind);
    m_pending.clear();
    if (outcome.kind == "silent")
        return;
    if (outcome.kind == "error") {
        reply("ERROR");
        return;
    }
    if (outcome.kind == "answer") {
        reply("OK");
        schedule(outcome.delayMs, "CONNECT");
        if (outcome.hangUpMs >= 0)
            schedule(outcome.delayMs + outcome.hangUpMs, "NO CARRIER");
        return;
    }
    if (outcome.kind == "noanswer") {
        reply("OK");
        schedule(outcome.delayMs, "NO ANSWER");
        return;
    }
    schedule(outcome.delayMs, outcome.kind == "busy"        ? "BUSY"
                              : outcome.kind == "nocarrier" ? "NO CARRIER"
                                                            : "NO DIALTONE");
}

void ModemSim::schedule(int delayMs, const std::string& text) {
    m_pending.push_back({Clock::now() + std::chrono::milliseconds(delayMs), text});
}

int ModemSim::runDue() {
    const auto now = Clock::now();
    std::vector<Pending> later;
    std::vector<Pending> due;
    for (const Pending& p : m_pending)
        (p.at <= now ? due : later).push_back(p);
    m_pending = later;
    std::stable_sort(due.begin(), due.end(),
                     [](const Pending& a, const Pending& b) { return a.at < b.at; });
    for (const Pending& p : due)
        reply(p.text);
    int next = -1;
    for (const Pending& p : m_pending) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(p.at - now).count() + 1;
        if (next < 0 || ms < next)
            next = int(ms);
    }
    return next;
}

void ModemSim::reply(const std::string& text) {
    log("SEND", text);
    const std::string framed = "\r\n" + text + "\r\n";
    if (write(m_fd, framed.data(), framed.size()) < 0)
        log("FAIL", "write");
}

void ModemSim::log(const char* direction, const std::string& text) {
    if (!m_log)
        return;
    std::fprintf(m_log, "%s %s\n", direction, text.c_str());
    std::fflush(m_log);
}
