#include "Command.h"

#include "ExportCommand.h"
#include "ImportCommand.h"
#include "ReportCommand.h"

#include <QMap>
#include <cstdio>

std::vector<std::unique_ptr<Command>> Command::all() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ImportCommand>());
    commands.push_back(std::make_unique<ExportCommand>());
    commands.push_back(std::make_unique<ReportCommand>());
    return commands;
}

int Command::dispatch(const QStringList& words) {
    const auto commands = all();
    if (!words.isEmpty()) {
        for (const auto& command : commands) {
            if (command->name() == words.first())
                return command->run(words.mid(1));
        }
    }
    std::fprintf(stderr, "usage:\n");
    for (const auto& command : commands)
        std::fprintf(stderr, "  tessaro-contacts %s\n", qPrintable(command->usage()));
    return WrongWords;
}

int Command::fail(const QString& message) {
    std::fprintf(stderr, "tessaro-contacts: %s\n", qPrintable(message.simplified()));
    return Failed;
}

int Command::wrongWords(const QString& message) const {
    if (!message.isEmpty())
        std::fprintf(stderr, "tessaro-contacts: %s\n", qPrintable(message));
    std::fprintf(stderr, "usage: tessaro-contacts %s\n", qPrintable(usage()));
    return WrongWords;
}

bool Command::readOptions(const QStringList& words, const QStringList& names,
                          QMap<QString, QString>& values, QString& problem) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!names.contains(word)) {
            problem = QStringLiteral("unknown word \"%1\"").arg(word);
            return false;
        }
        if (i + 1 >= words.size()) {
            problem = QStringLiteral("%1 needs a value").arg(word);
            return false;
        }
        if (values.contains(word)) {
            problem = QStringLiteral("%1 is given twice").arg(word);
            return false;
        }
        values.insert(word, words[++i]);
    }
    return true;
}
