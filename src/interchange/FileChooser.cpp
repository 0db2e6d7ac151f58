#include "interchange/FileChooser.h"

#include <QFileDialog>
#include <optional>

namespace {
std::optional<QStringList> g_nextFiles;
std::optional<QPair<QString, QString>> g_nextSave;
} // namespace

QStringList FileChooser::exportFilters() {
    return {QStringLiteral("vCard 4.0 (*.vcf)"), QStringLiteral("vCard 3.0, older phones (*.vcf)"),
            QStringLiteral("CSV, spreadsheets (*.csv)")};
}

QStringList FileChooser::openFiles(QWidget* parent, const QString& caption) {
    if (g_nextFiles) {
        const QStringList files = *g_nextFiles;
        g_nextFiles.reset();
        return files;
    }
    return QFileDialog::getOpenFileNames(
        parent, caption, QString(),
        QStringLiteral("Contacts (*.vcf *.vcard *.csv);;vCard (*.vcf *.vcard);;CSV (*.csv);;"
                       "All files (*)"));
}

QString FileChooser::saveFile(QWidget* parent, const QString& caption, const QString& suggested,
                              QString* filter) {
    if (g_nextSave) {
        const auto next = *g_nextSave;
        g_nextSave.reset();
        *filter = next.second;
        return next.first;
    }
    *filter = exportFilters().first();
    return QFileDialog::getSaveFileName(parent, caption, suggested,
                                        exportFilters().join(QStringLiteral(";;")), filter);
}

void FileChooser::setNextFiles(const QStringList& files) {
    g_nextFiles = files;
}

void FileChooser::setNextSaveFile(const QString& file, const QString& filter) {
    g_nextSave = qMakePair(file, filter);
}
