#pragma once

class Databases;
class QString;
class UpdateQueue;

// The start-up decision on a pending update: state 2 installs it (after checking the maker's
// signature over the stored set, setting an untrusted set aside, and checking the
// downloaded parts), state 3 confirms the updater's work. Answers true when the program must
// hand over to the updater and end instead of starting. A set that fails to install twice,
// or an updater that does not confirm twice, gives the update up so the program starts.
class UpdateStartup {
public:
    static bool run(Databases& db, int updateState, const QString& programDir);

    // Starts the updater of the program folder with the program's full path; its outcome is
    // not awaited (the program ends next).
    static bool LaunchReplica(const QString& programDir, const QString& programPath);

private:
    static bool install(Databases& db, UpdateQueue& queue, const QString& programDir);
    static bool handOverAgain(UpdateQueue& queue, const QString& programDir);
};
