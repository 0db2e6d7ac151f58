#pragma once

#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// The single-instance guard: one 20-byte shared block per executable path counts the running
// instances (offset 0: the last admitted instance's id, 8: the count). A second start of the
// same executable asks the first to come forward and ends; a copy in another folder has a
// block of its own. Every admitted instance holds a shared lock on a lock file, so a block left
// behind by crashed instances is recognised and reset.
class CheckPrevious {
public:
    // The block's name: the executable's full path with every '/' removed, after a '/'.
    static QString blockName(const QString& executablePath);

    explicit CheckPrevious(const QString& executablePath);
    ~CheckPrevious(); // gives the count back when this start was admitted

    // True when this start must end because `maxInstances` already run; the earlier instance
    // has then been asked to come forward. Throws std::system_error when no block can be had.
    bool ActivatePreviousInstance(quint32 window, int maxInstances);

    // An admitted instance listens for later starts; `onActivate` runs on the main thread.
    void listenForActivation(std::function<void()> onActivate);

    // The count stored in the block (for diagnostics and tests).
    int runningCount() const;

    void release();

    struct Block;

private:
    bool isStale() const;
    void signalPrevious() const;
    QString lockPath(const char* suffix) const;

    QString m_name;
    int m_fd = -1;
    Block* m_view = nullptr;
    int m_instanceLock = -1;
    bool m_counted = true;
    QLocalServer* m_server = nullptr;
};
