#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One command of the tessaro-contacts tool: its name, its usage line, and its run over the
// words after the name. Exit codes: 0 done, 1 failed (one line on standard error), 2 wrong
// words (the usage on standard error).
class Command {
public:
    enum Exit { Done = 0, Failed = 1, WrongWords = 2 };

    virtual ~Command() = default;
    virtual QString name() const = 0;
    // The words after the tool's name, e.g. "report [--folder PATH] --pdf FILE".
    virtual QString usage() const = 0;
    virtual int run(const QStringList& words) = 0;

    // Every command of the tool, in the order the usage lists them.
    static std::vector<std::unique_ptr<Command>> all();
    // Runs the command the first word names; answers the exit code.
    static int dispatch(const QStringList& words);

protected:
    // Writes "tessaro-contacts: <message>" and answers Failed.
    static int fail(const QString& message);
    // Writes this command's usage and answers WrongWords.
    int wrongWords(const QString& message = QString()) const;
    // Reads "--name VALUE" options into the map; false on an unknown word or a missing value.
    static bool readOptions(const QStringList& words, const QStringList& names,
                            QMap<QString, QString>& values, QString& problem);
};
