#pragma once

#include "Command.h"

// "report [--folder PATH] --pdf FILE": the personal report of a folder (and the folders below
// it) as a PDF, for a printed phone list made by a scheduled job.
class ReportCommand : public Command {
public:
    QString name() const override { return QStringLiteral("report"); }
    QString usage() const override { return QStringLiteral("report [--folder PATH] --pdf FILE"); }
    int run(const QStringList& words) override;
};
