#pragma once

#include <QString>
#include <functional>
#include <optional>

class QLocalServer;

// The single-instance guard: one 20-byte shared block per executable path and user counts the
// running instances (offset 0: the last admitted instance's id, 8: the count). A second start of
// the same executable asks the first to come forward and ends; a copy in another folder, or the
// same program started by another user, has a block of its own. Every admitted instance holds a
// shared lock on a lock file, so a block left behind by crashed instances is recognised and
// reset. The lock files and the activation socket are in a folder only the user can open
// (privateFolder), the socket answers only the user's own processes, and a block that another
// user has created under the block's name is passed over, so no other local user can raise,
// block or stand in for the program. Nothing depends on the environment (XDG_RUNTIME_DIR,
// TMPDIR): a start from the desktop and one from a shell find the same block, locks and socket.
class CheckPrevious {
public:
    // How long a refused start waits for the running instance to answer by default.
    static constexpr int DefaultAnswerWait = 5000;
    // At most this many activation connections are served at a time; more are closed at once.
    static constexpr int MaxConnections = 8;

    // The block's name: '/', the executable's full path with every '/' removed, '.', the user id.
    static QString blockName(const QString& executablePath);
    // The path of the local socket on which the admitted instance listens, in privateFolder().
    static QString activationName(const QString& executablePath);
    // The user's runtime folder /run/user/<uid> when it is the user's own and closed to others,
    // else /tmp/tessaro-kavelin-<uid> (made 0700; one of another user, or open to others, is
    // passed over for the next of a few numbered names). Throws std::system_error when none
    // can be had.
    static QString privateFolder();
    // Tests: the user id reported for every connecting peer (unset: the peer's real one).
    static void setPeerUidOverride(std::optional<uint> uid);

    explicit CheckPrevious(const QString& executablePath);
    ~CheckPrevious(); // gives the count back when this start was admitted

    // True when this start must end because `maxInstances` already run; the earlier instance
    // has then been asked to come forward. Throws std::system_error when no block can be had.
    bool ActivatePreviousInstance(quint32 window, int maxInstances);

    // After a refused start: whether the running instance answered the request to come forward
    // within the answer wait. False means it hangs (or is still busy starting).
    bool previousAnswered() const { return m_previousAnswered; }
    void setAnswerWait(int milliseconds) { m_answerWait = milliseconds; }

    // An admitted instance listens for later starts; `onActivate` runs on the main thread and
    // the later start is answered once it has run.
    void listenForActivation(std::function<void()> onActivate);

    // The count stored in the block (for diagnostics and tests).
    int runningCount() const;

    void release();

    struct Block;

private:
    bool isStale() const;
    bool signalPrevious() const;
    QString lockName(const char* suffix) const;
    bool openBlock();
    void serve(class QLocalSocket* socket, const std::function<void()>& onActivate);

    QString m_executable;
    QString m_name;      // the block's name as given by blockName
    QString m_blockName; // the name of the block in use (m_name, or one of its numbered names)
    QString m_folder;
    QString m_activationName;
    int m_fd = -1;
    Block* m_view = nullptr;
    int m_instanceLock = -1;
    bool m_counted = true;
    bool m_previousAnswered = true;
    int m_answerWait = DefaultAnswerWait;
    QLocalServer* m_server = nullptr;
};
