#pragma once

#include <QString>
#include <stdexcept>

// A fault in a report template; carries only its message text.
class TReporterException : public std::runtime_error {
public:
    explicit TReporterException(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

private:
    QString m_message;
};
