#include "ExportCommand.h"

#include "ProgramData.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "interchange/ContactExporter.h"
#include "interchange/FolderPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <cstdio>
#include <stdexcept>

int ExportCommand::run(const QStringList& words) {
    const QString folderOption = QStringLiteral("--folder"),
                  formatOption = QStringLiteral("--format"),
                  outputOption = QStringLiteral("--output");
    QMap<QString, QString> options;
    QString problem;
    if (!readOptions(words, {folderOption, formatOption, outputOption}, options, problem))
        return wrongWords(problem);
    const QString folder = options.value(folderOption), output = options.value(outputOption);
    const QString format = options.value(formatOption);
    ContactExporter::Format chosen =
        output.isEmpty() ? ContactExporter::Format::VCard4 : ContactExporter::formatForFile(output);
    if (format == QLatin1String("vcard4"))
        chosen = ContactExporter::Format::VCard4;
    else if (format == QLatin1String("vcard3"))
        chosen = ContactExporter::Format::VCard3;
    else if (format == QLatin1String("csv"))
        chosen = ContactExporter::Format::Csv;
    else if (!format.isEmpty())
        return wrongWords(QStringLiteral("unknown format \"%1\"").arg(format));
    try {
        ProgramData program(QCoreApplication::applicationDirPath());
        Databases& db = program.databases();
        int folderId = 0;
        if (!folder.isEmpty()) {
            folderId = FolderPaths(db.DTR).find(folder);
            if (folderId == 0)
                return fail(QStringLiteral("there is no folder \"%1\"").arg(folder));
        }
        // A file is written beside its place and renamed over it only when complete.
        QSaveFile file(output);
        QFile standardOutput;
        QIODevice* device = &file;
        if (output.isEmpty()) {
            if (!standardOutput.open(stdout, QIODevice::WriteOnly))
                return fail(QStringLiteral("standard output cannot be written"));
            device = &standardOutput;
        } else if (!file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("%1: %2").arg(output, file.errorString()));
        ContactExporter exporter(db.DTR, chosen, *device);
        if (folderId)
            exporter.addFolder(folderId);
        else
            exporter.addAll();
        exporter.run();
        if (!output.isEmpty()) {
            if (!file.commit())
                return fail(QStringLiteral("%1: %2").arg(output, file.errorString()));
            std::fprintf(stderr, "%d contacts written to %s\n", exporter.written(),
                         qPrintable(output));
        }
    } catch (const DatabaseError& e) {
        return fail(e.message());
    } catch (const std::runtime_error& e) {
        return fail(QString::fromStdString(e.what()));
    }
    return Done;
}
