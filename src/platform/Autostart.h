#pragma once

#include <QString>

// The start-at-logon switch: an XDG autostart entry "tessaro-kavelin.desktop" that starts the
// program in the tray ("<program> -h") when the user logs in.
class Autostart {
public:
    // $XDG_CONFIG_HOME/autostart/tessaro-kavelin.desktop, or ~/.config/autostart/... when the
    // variable is unset or not absolute.
    static QString entryPath();

    // True when the entry exists, has a non-empty Exec line and is not switched off by the
    // desktop (Hidden=true, X-GNOME-Autostart-enabled=false). Any read problem answers false.
    static bool isEnabled();
    // The Exec value of the entry, empty when there is none.
    static QString execLine();

    // Writes the entry with Exec = programPath followed by " -h". Throws std::runtime_error
    // when the entry cannot be written.
    static void enable(const QString& programPath);
    // Removes the entry. Throws std::runtime_error when there is none or it cannot be removed.
    static void disable();

    // The Exec value for a program path: the path, quoted when it holds characters the
    // desktop-entry format reserves, then " -h".
    static QString execFor(const QString& programPath);
};
