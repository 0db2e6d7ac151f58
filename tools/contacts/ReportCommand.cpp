#include "ReportCommand.h"

#include "ProgramData.h"

#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "reports/FolderReport.h"
#include "reports/ReportFileError.h"
#include "reports/ReportWriter.h"
#include "reports/TReporterException.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <stdexcept>

int ReportCommand::run(const QStringList& words) {
    const QString folderOption = QStringLiteral("--folder");
    const QString pdfOption = QStringLiteral("--pdf");
    QMap<QString, QString> options;
    QString problem;
    if (!readOptions(words, {folderOption, pdfOption}, options, problem))
        return wrongWords(problem);
    if (options.value(pdfOption).isEmpty())
        return wrongWords(QStringLiteral("--pdf FILE is needed"));
    // The file is the caller's; the databases and templates are the program's, found from its
    // folder as the program finds them.
    const QString pdf = QFileInfo(options.value(pdfOption)).absoluteFilePath();
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath()))
        return fail(QStringLiteral("cannot change to the program folder"));
    try {
        ProgramData program(QCoreApplication::applicationDirPath());
        Databases& db = program.databases();
        FolderReport report(db.DTR);
        const QString path = options.value(folderOption);
        const int folder = report.folderByPath(path);
        if (folder < 0)
            return fail(QStringLiteral("no folder \"%1\"").arg(path));
        FolderReport::writePdf(
            report.contacts(folder),
            ReportWriter::templateFile(QStringLiteral("PD"), ReportWriter::Use::Report), pdf);
    } catch (const DatabaseError& e) {
        return fail(QStringLiteral("cannot read the contacts: ") + e.message());
    } catch (const ReportFileError& e) {
        return fail(e.message());
    } catch (const TReporterException& e) {
        return fail(e.message());
    } catch (const std::runtime_error& e) {
        return fail(QString::fromStdString(e.what()));
    }
    return Done;
}
