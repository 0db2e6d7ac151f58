#pragma once

// Named points in the program's file swaps where a test can have the process killed outright
// (SIGKILL, as a crash or a power cut would end it): the process ends there when the
// environment variable TESSARO_FAULT_POINT holds the point's name. Unset, nothing happens.
class FaultPoint {
public:
    static void reach(const char* name);
};
