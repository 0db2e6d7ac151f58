#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// Hands addresses and files to the desktop ("open" of the system shell): mailto:, http://,
// report files. Tests install an observer so nothing is really opened.
class Shell {
public:
    // Opens a URL with the desktop's handler without waiting; answers whether it was handed on.
    static bool open(const QUrl& url);
    static bool openFile(const QString& path);

    // While set, every request goes to the observer instead of the desktop.
    using Observer = std::function<void(const QUrl&)>;
    static void setObserver(Observer observer);
};
