#include "data/FaultPoint.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

void FaultPoint::reach(const char* name) {
    const char* wanted = std::getenv("TESSARO_FAULT_POINT");
    if (wanted && std::strcmp(wanted, name) == 0)
        ::kill(::getpid(), SIGKILL);
}
