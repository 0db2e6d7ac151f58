#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The file dialogs of import and export. Tests queue the next answer, and the dialog is then
// not shown at all.
class FileChooser {
public:
    // Files to import (.vcf, .vcard, .csv); empty when cancelled.
    static QStringList openFiles(QWidget* parent, const QString& caption);
    // The file to export to and the chosen filter (one of exportFilters()); empty when
    // cancelled.
    static QString saveFile(QWidget* parent, const QString& caption, const QString& suggested,
                            QString* filter);
    static QStringList exportFilters();

    static void setNextFiles(const QStringList& files);
    static void setNextSaveFile(const QString& file, const QString& filter);
};
