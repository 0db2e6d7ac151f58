#pragma once

#include <initializer_list>

#include <QString>
#include <csignal>
#include <firebird/Interface.h>

// Loads the Firebird client library at run time and hands out its master interfaces.
class FbClient {
public:
    // Loads the library on first use; throws DatabaseError when no client library loads.
    static FbClient& instance();

    // The lock directory the embedded engine uses; must be set before the first load.
    static void setLockDirectory(const QString& dir);
    // Per copy of the program: <program folder>/../temp/fb-lock.
    static QString defaultLockDirectory();
    // The engine maps its lock files into memory: a page it touches on a full disk ends the
    // process with SIGBUS. The files present are given their disk blocks now, at least
    // `bytes` each, so the engine's own growth within that never needs a free block.
    static void reserveLockFiles(qint64 bytes = LockFileReserve);
    static constexpr qint64 LockFileReserve = qint64(8) << 20;

    Firebird::IMaster* master() const { return m_master; }
    Firebird::IProvider* provider() const { return m_provider; }
    Firebird::IUtil* util() const { return m_util; }

    // A fresh status object wrapped to throw; the caller owns neither.
    Firebird::IStatus* newStatus() const { return m_master->getStatus(); }

    // Turns a status vector into readable text.
    QString formatStatus(Firebird::IStatus* status) const;

private:
    FbClient();
    static void shutdownEngine();
    void* m_library = nullptr;
    Firebird::IMaster* m_master = nullptr;
    Firebird::IProvider* m_provider = nullptr;
    Firebird::IUtil* m_util = nullptr;
};

// Keeps the process's own SIGINT and SIGTERM handlers across a call into the client library,
// which installs handlers of its own (shutting every connection down) on its first use.
class KeepSignalHandlers {
public:
    KeepSignalHandlers();
    ~KeepSignalHandlers();
    KeepSignalHandlers(const KeepSignalHandlers&) = delete;
    KeepSignalHandlers& operator=(const KeepSignalHandlers&) = delete;

private:
    struct sigaction m_interrupt {};
    struct sigaction m_terminate {};
    sigset_t m_mask{};
};

// Status holder for one call sequence: throws DatabaseError on any error.
class FbStatus {
public:
    FbStatus();
    ~FbStatus();
    FbStatus(const FbStatus&) = delete;
    FbStatus& operator=(const FbStatus&) = delete;

    Firebird::ThrowStatusWrapper* operator&() { return &m_wrapper; }

private:
    Firebird::IStatus* m_status;
    Firebird::ThrowStatusWrapper m_wrapper;
};

// Starts a transaction on `attachment` with the given parameter tags (isc_tpb_...). Throws
// DatabaseError.
Firebird::ITransaction* startTransaction(Firebird::IAttachment* attachment,
                                         std::initializer_list<unsigned char> tags);

// Rethrows an engine exception as a DatabaseError carrying the engine's text and code.
[[noreturn]] void throwDatabaseError(const Firebird::FbException& e);

// Runs a call on the Firebird API and turns its FbException into a DatabaseError.
template <typename F> auto fbCall(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Firebird::FbException& e) {
        throwDatabaseError(e);
    }
}
