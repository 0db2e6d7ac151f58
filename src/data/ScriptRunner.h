#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Connection;
class Transaction;
class DatabaseError;

// Runs isql-format scripts on one connection and transaction (SCR, SYS_SCR): statements end
// with the current terminator (";" until SET TERM changes it), /* */ and -- comments are
// dropped, COMMIT and ROLLBACK end the transaction, and SET SQL DIALECT, SET NAMES,
// SET AUTODDL, SET STATISTICS, CREATE DATABASE, CONNECT and RECONNECT act on the connection.
class ScriptRunner {
public:
    // Called for a statement that failed; answer true to skip it and go on (SCRExecuteError).
    using ErrorHandler = std::function<bool(const QString& statement, const DatabaseError& error)>;

    // Called at a COMMIT statement with its number (statements count from 1).
    using CommitHook = std::function<void(int statement)>;

    explicit ScriptRunner(Transaction& transaction);

    void setOnExecuteError(ErrorHandler handler) { m_onError = std::move(handler); }
    // Hooks run just before a COMMIT statement ends the transaction (work done there is
    // committed with the script's) and just after it.
    void setCommitHooks(CommitHook before, CommitHook after);
    // Runs every statement of the script in order. An error the handler does not skip
    // (or any error when no handler is set) stops the script and is raised. With
    // `resumeAfter`, the statements up to that number are not run again (SET SQL DIALECT,
    // SET NAMES and SET AUTODDL among them still apply): a script that got that far before
    // goes on where it stopped.
    void RunScript(const QString& script, int resumeAfter = 0);

    // The statements of a script, split as RunScript would split them (SET TERM applied).
    static QStringList splitStatements(const QString& script);

    int dialect() const { return m_dialect; }
    int executedCount() const { return m_executed; }
    int skippedCount() const { return m_skipped; }

private:
    void runStatement(const QString& statement);
    bool runCommand(const QString& statement);
    void execute(const QString& statement);
    void createDatabase(const QString& statement);
    void connectTo(const QString& statement);

    Transaction& m_transaction;
    ErrorHandler m_onError;
    CommitHook m_beforeCommit;
    CommitHook m_afterCommit;
    int m_number = 0;
    int m_dialect = 3;
    bool m_autoDdl = true;
    QString m_names;
    int m_executed = 0;
    int m_skipped = 0;
};
