#pragma once

#include "interchange/ImportSummary.h"

#include <QObject>
#include <QStringList>

class Databases;
class QAction;
class QMimeData;
class TPDIR_FRM;

// Import and export on the personal page: "Import Contacts..." and "Export Contacts..." in the
// folder tree's menu, "Export Selected..." in the contact list's, contact files dropped onto a
// folder, and contacts dragged out of the list as a vCard file. Long work shows a progress
// window with Cancel while the window keeps painting; a summary says what was done.
class InterchangeActions : public QObject {
    Q_OBJECT
public:
    InterchangeActions(TPDIR_FRM& page, Databases& databases);

    // Imports the files into the folder, with progress, then shows the summary and lists the
    // folder again. Answers the summaries, one per file.
    QList<ImportSummary> importFiles(int folderId, const QStringList& files);
    // Exports a folder (with the folders below it) or the given contacts to a file.
    bool exportContacts(int folderId, const QList<int>& contactIds);
    // The vCard 4.0 text of the selected contacts, as a drag carries it.
    void fillDrag(QMimeData& data);

    // The contact files (.vcf, .vcard, .csv) among the local files a drag from outside carries.
    static QStringList contactFiles(const QMimeData* data);

    QAction* importAction() const { return m_import; }
    QAction* exportAction() const { return m_export; }
    QAction* exportSelectedAction() const { return m_exportSelected; }

protected:
    // Takes drags of contact files from other programs over the folder tree.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int dropFolder(const QPoint& at) const;
    void updateFolderItems();
    void importChosen();
    void exportFolder();
    void exportSelected();

    TPDIR_FRM& m_page;
    Databases& m_db;
    QAction* m_import;
    QAction* m_export;
    QAction* m_exportSelected;
};
