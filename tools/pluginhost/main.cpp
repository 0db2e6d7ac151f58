// tk-plugin-host: loads the PTCL plug-in library named on its command line and serves the
// program's searches over its standard input and output, so that a plug-in that crashes, ends
// the process or hangs takes this process down instead of the program.
#include "PlugInServer.h"

#include <QFile>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void closeFrom(int first) {
    if (close_range(unsigned(first), ~0U, 0) == 0)
        return;
    for (int fd = first; fd < 1024; ++fd)
        close(fd);
}

} // namespace

int main(int argc, char** argv) {
    // The host never outlives the program, even one that was killed.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A program that went away shows as a failed write, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tk-plugin-host <plug-in library>\n");
        return 2;
    }
    // The messages keep the program's pipes on descriptors of their own; whatever the plug-in
    // reads from standard input or writes to standard output goes nowhere near them. Nothing
    // else the program had open (its databases, its sockets) stays open here.
    constexpr int in = 3, out = 4;
    if (dup2(STDIN_FILENO, in) < 0 || dup2(STDOUT_FILENO, out) < 0) {
        std::perror("tk-plugin-host");
        return 2;
    }
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing < 0 || dup2(nothing, STDIN_FILENO) < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::perror("tk-plugin-host");
        return 2;
    }
    fcntl(in, F_SETFD, FD_CLOEXEC);
    fcntl(out, F_SETFD, FD_CLOEXEC);
    closeFrom(out + 1);
    PlugInServer server(in, out);
    return server.run(QFile::decodeName(argv[1]));
}
