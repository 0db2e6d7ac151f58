#pragma once

#include <QString>
#include <stdexcept>

// A failure reported by the database engine (or by the data layer around it).
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(const QString& message, long gdsCode = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_gdsCode(gdsCode) {}

    QString message() const { return m_message; }
    // The engine's primary error code (isc_...), 0 when the error came from the data layer.
    long gdsCode() const { return m_gdsCode; }
    // True for a lock conflict met by a "nowait" transaction.
    bool isLockConflict() const;

private:
    QString m_message;
    long m_gdsCode;
};
