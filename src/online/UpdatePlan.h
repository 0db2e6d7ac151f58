#pragma once

#include <QString>
#include <QStringList>

// What the updater copies out of an unpacked update (<prefix>/temp/file/) over the installed
// tree (<prefix>/), and whether each copy can be made. Shared by the installer, which checks
// before it hands over, and the updater, which copies.
class UpdatePlan {
public:
    // The files of the update folder to install, relative to it: everything but the scripts
    // and the updater itself at its top level, which the program has used already.
    static QStringList files(const QString& updateDir);
    // "path: reason" for each file that cannot be put in place under `prefix`: a folder where
    // the file goes, or a file where one of its folders goes.
    static QStringList conflicts(const QString& updateDir, const QString& prefix);
};
