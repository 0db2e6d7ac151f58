#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace Firebird {
class IAttachment;
}

// One attachment to a database file through the embedded engine (MDB, SYS_MDB).
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The database file; a local path, opened by the embedded engine (no server).
    void setDatabaseName(const QString& path) { m_path = path; }
    QString databaseName() const { return m_path; }

    void open();
    void close();
    bool isOpen() const { return m_attachment != nullptr; }

    // Takes over an attachment made elsewhere (a script's CREATE DATABASE).
    void adopt(Firebird::IAttachment* attachment, const QString& path);

    Firebird::IAttachment* attachment() const;

    // Objects bound to this connection are told before it closes, so they drop their handles.
    void addCloseListener(void* owner, std::function<void()> onClose);
    void removeCloseListener(void* owner);

    static constexpr const char* UserName = "SYSDBA";
    static constexpr const char* Password = "morvan52";

private:
    QString m_path;
    Firebird::IAttachment* m_attachment = nullptr;
    std::vector<std::pair<void*, std::function<void()>>> m_listeners;
};
