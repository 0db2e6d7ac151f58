// tk-setkey <settings.xml> <key> [<value>]: prints a key's text, or sets it and saves the file
// through the program's own settings store, so every other setting stays as it was.
#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: tk-setkey <settings.xml> <key> [<value>]\n");
        return 2;
    }
    SettingsStore store(args.at(1));
    if (args.size() == 3) {
        std::printf("%s\n", qPrintable(store.ReadText(args.at(2), QString())));
        return 0;
    }
    store.WriteText(args.at(2), args.at(3));
    if (!store.Flush()) {
        std::fprintf(stderr, "tk-setkey: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
