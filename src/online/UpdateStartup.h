#pragma once

class Databases;
class QString;

// The start-up decision on a pending update: state 2 installs it (after checking the
// downloaded parts), state 3 confirms the updater's work. Answers true when the program must
// hand over to the updater and end instead of starting.
class UpdateStartup {
public:
    static bool run(Databases& db, int updateState, const QString& programDir);

    // Starts the updater of the program folder with the program's full path; its outcome is
    // not awaited (the program ends next).
    static bool LaunchReplica(const QString& programDir, const QString& programPath);
};
