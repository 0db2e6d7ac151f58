// tk-modemsim: a Hayes voice modem on a pseudo-terminal. Prints the terminal's path, then
// answers AT commands until it is stopped (SIGTERM, SIGINT).
//
//   tk-modemsim [--link PATH] [--log FILE] [--script FILE] [--default OUTCOME]
//               [--outcome NUMBER=OUTCOME]... [--mute] [--exit-with-parent]
//
// OUTCOME is answer[:ms[:hangup-ms]], busy[:ms], nocarrier[:ms], nodialtone[:ms],
// noanswer[:ms], error or silent. A script holds lines "NUMBER OUTCOME" ('#' starts a comment,
// '*' as NUMBER sets the default).
#include "ModemSim.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

int usage(const char* message) {
    std::cerr << "tk-modemsim: " << message << "\n"
              << "usage: tk-modemsim [--link PATH] [--log FILE] [--script FILE] "
                 "[--default OUTCOME] [--outcome NUMBER=OUTCOME]... [--mute]\n";
    return 2;
}

bool addOutcome(ModemSim& sim, const std::string& number, const std::string& text) {
    ModemSim::Outcome outcome;
    if (!ModemSim::parseOutcome(text, outcome))
        return false;
    if (number == "*")
        sim.setDefaultOutcome(outcome);
    else
        sim.setOutcome(number, outcome);
    return true;
}

bool readScript(ModemSim& sim, const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string number, outcome;
        if (!(words >> number))
            continue;
        if (!(words >> outcome) || !addOutcome(sim, number, outcome)) {
            std::cerr << "tk-modemsim: bad script line: " << line << "\n";
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    std::string link, logPath, script;
    std::vector<std::pair<std::string, std::string>> outcomes;
    std::string defaultOutcome;
    bool mute = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--link" && hasValue) {
            link = argv[++i];
        } else if (arg == "--log" && hasValue) {
            logPath = argv[++i];
        } else if (arg == "--script" && hasValue) {
            script = argv[++i];
        } else if (arg == "--default" && hasValue) {
            defaultOutcome = argv[++i];
        } else if (arg == "--outcome" && hasValue) {
            const std::string value = argv[++i];
            const auto eq = value.find('=');
            if (eq == std::string::npos)
                return usage("--outcome needs NUMBER=OUTCOME");
            outcomes.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        } else if (arg == "--exit-with-parent") {
            // For test harnesses: a harness that dies does not leave the simulator behind.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
        } else if (arg == "--mute") {
            mute = true;
        } else {
            return usage(("unknown argument " + arg).c_str());
        }
    }

    // Raw from the start, so nothing is echoed or translated before the program opens it.
    termios raw{};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::cerr << "tk-modemsim: openpty: " << std::strerror(errno) << "\n";
        return 1;
    }
    // The simulator keeps its own handle on the terminal so that the program may close and
    // reopen it without the master side seeing a hang-up.
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);

    FILE* log = nullptr;
    if (!logPath.empty() && !(log = std::fopen(logPath.c_str(), "a"))) {
        std::cerr << "tk-modemsim: cannot write " << logPath << "\n";
        return 1;
    }
    ModemSim sim(master, log);
    sim.setMute(mute);
    if (!script.empty() && !readScript(sim, script))
        return usage(("cannot use script " + script).c_str());
    if (!defaultOutcome.empty() && !addOutcome(sim, "*", defaultOutcome))
        return usage(("bad outcome " + defaultOutcome).c_str());
    for (const auto& [number, outcome] : outcomes) {
        if (!addOutcome(sim, number, outcome))
            return usage(("bad outcome " + outcome).c_str());
    }
    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(name, link.c_str()) != 0) {
            std::cerr << "tk-modemsim: cannot link " << link << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
    }

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::cout << name << std::endl;

    int timeout = -1;
    while (!stopRequested) {
        pollfd fd{master, POLLIN, 0};
        const int ready = poll(&fd, 1, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fd.revents & POLLIN)) {
            char buffer[512];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0)
                sim.received(buffer, size_t(n));
        }
        timeout = sim.runDue();
    }
    if (!link.empty())
        unlink(link.c_str());
    if (log)
        std::fclose(log);
    close(slave);
    close(master);
    return 0;
}
