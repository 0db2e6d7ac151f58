#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// Hands addresses and files to the desktop ("open" of the system shell): mailto:, http://,
// report files. Tests install an observer so nothing is really opened.
class Shell {
public:
    // Opens a URL with the desktop's handler without waiting; answers whether it was handed on.
    // `unopened`, when given, runs later if the desktop has no program for it: the opener is
    // missing or reports a failure within the first seconds.
    static bool open(const QUrl& url, std::function<void()> unopened = {});
    static bool openFile(const QString& path, std::function<void()> unopened = {});

    // Asks the desktop to let the user choose the program that opens the file (the desktop
    // portal's chooser), without waiting; `unavailable` runs later when this desktop has none.
    // An observer is handed the file's URL with the fragment "open-with".
    static void openWith(const QString& path, std::function<void()> unavailable);

    // While set, every request goes to the observer instead of the desktop.
    using Observer = std::function<void(const QUrl&)>;
    static void setObserver(Observer observer);
    // The desktop's opener program, "xdg-open" unless set (tests give a script of their own).
    static void setOpener(const QString& program);
    // A failure reported later than this after the start is the opened program's own.
    static constexpr int FailureWindowMs = 5000;
};
