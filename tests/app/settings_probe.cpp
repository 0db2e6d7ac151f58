// Saves one value into a settings file the way the program does, so tests can run the save as
// another user. Usage: settings_probe <file> <key> <text>; prints "saved" or "not saved".
#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    SettingsStore store(QString::fromLocal8Bit(argv[1]));
    store.setFlushOnDestroy(false);
    store.WriteText(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::printf(store.Flush() ? "saved\n" : "not saved\n");
    return 0;
}
