#pragma once

#include <exception>

// The exception that ends an event handler after the user has already been told what went wrong;
// the application's event dispatch swallows it without showing anything further.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};
