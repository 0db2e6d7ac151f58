#pragma once

#include <QString>
#include <QStringList>

// The updater the program hands over to after installing an update: it waits until the program
// has ended, copies the unpacked update files of <prefix>/temp/file/ over the installed tree
// <prefix>/ (every file staged first, then renamed into place), writes temp/replica.ok when all
// of them are in place and starts the program again.
class Replica {
public:
    explicit Replica(const QString& programPath);

    // Waits at most `timeoutMs` for every process running the program to end.
    bool waitForProgramEnd(int timeoutMs) const;
    // Copies the update over the installed tree; false (old files kept) on the first failure.
    bool copyUpdate();
    // Writes the success marker temp/replica.ok.
    bool writeMarker();
    // Starts the program again from its folder.
    bool restartProgram() const;

    QString error() const { return m_error; }
    QString prefix() const { return m_prefix; }
    QString tempDir() const { return m_prefix + QStringLiteral("/temp"); }

    // True when a running process other than this one executes `path`.
    static bool isRunning(const QString& path);
    // The files of the update folder to install, relative to it: everything but the scripts
    // and the updater itself at its top level, which the program has used already.
    static QStringList updateFiles(const QString& updateDir);

private:
    bool stage(const QString& relative, const QString& staged);
    void discard(const QStringList& staged) const;

    QString m_program;
    QString m_prefix;
    QString m_error;
};
