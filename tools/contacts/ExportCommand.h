#pragma once

#include "Command.h"

// "export [--folder PATH] [--format vcard4|vcard3|csv] [--output FILE]": writes the folder's
// contacts (with the folders below it; all contacts by default) to the file or standard output.
class ExportCommand : public Command {
public:
    QString name() const override { return QStringLiteral("export"); }
    QString usage() const override {
        return QStringLiteral(
            "export [--folder PATH] [--format vcard4|vcard3|csv] [--output FILE]");
    }
    int run(const QStringList& words) override;
};
