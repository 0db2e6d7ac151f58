#pragma once

#include "Command.h"

// "import [--folder PATH] FILE...": imports each file into the folder (created when missing;
// "Imported" by default) and prints one summary line per file.
class ImportCommand : public Command {
public:
    QString name() const override { return QStringLiteral("import"); }
    QString usage() const override { return QStringLiteral("import [--folder PATH] FILE..."); }
    int run(const QStringList& words) override;
};
