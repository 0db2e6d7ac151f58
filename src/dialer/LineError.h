#pragma once

#include <QString>
#include <stdexcept>

// A line device could not do what was asked (no device, a call in progress, a port that cannot
// be opened); the program's error display shows its text.
class LineError : public std::runtime_error {
public:
    explicit LineError(const QString& message)
        : std::runtime_error(message.toLocal8Bit().toStdString()) {}
};
