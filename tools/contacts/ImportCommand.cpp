#include "ImportCommand.h"

#include "ProgramData.h"
#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "interchange/ContactImporter.h"
#include "interchange/ContactSource.h"
#include "interchange/FolderPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <stdexcept>

int ImportCommand::run(const QStringList& words) {
    QString folder = QStringLiteral("Imported");
    QStringList files;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == QLatin1String("--folder")) {
            if (++i >= words.size())
                return wrongWords(QStringLiteral("--folder needs a value"));
            folder = words[i];
        } else if (words[i].startsWith(QLatin1String("--")))
            return wrongWords(QStringLiteral("unknown word \"%1\"").arg(words[i]));
        else
            files << words[i];
    }
    if (files.isEmpty())
        return wrongWords(QStringLiteral("no file to import"));
    if (FolderPaths::splitPath(folder).isEmpty())
        return wrongWords(QStringLiteral("the folder path is empty"));
    int result = Done;
    try {
        ProgramData program(QCoreApplication::applicationDirPath());
        Databases& db = program.databases();
        FolderPaths folders(db.DTR);
        const int folderId = folders.findOrCreate(folder);
        DataSetEditor cdt(db.DTR);
        EditingStatements::configureContact(cdt);
        for (const QString& name : files) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                result = fail(QStringLiteral("%1: %2").arg(name, file.errorString()));
                continue;
            }
            std::unique_ptr<ContactSource> source = ContactSource::open(file, name);
            ContactImporter importer(cdt, db.DTR, folderId, *source);
            importer.run();
            std::printf("%s: %s\n", qPrintable(name), qPrintable(importer.summary().text()));
            std::fflush(stdout);
        }
    } catch (const DatabaseError& e) {
        return fail(e.message());
    } catch (const std::runtime_error& e) {
        return fail(QString::fromStdString(e.what()));
    }
    return result;
}
