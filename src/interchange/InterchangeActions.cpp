#include "interchange/InterchangeActions.h"

#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "interchange/ContactExporter.h"
#include "interchange/ContactImporter.h"
#include "interchange/ContactSource.h"
#include "interchange/FileChooser.h"
#include "personal/ContactListView.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/Prompt.h"
#include "personal/TPDIR_FRM.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QSaveFile>
#include <QUrl>
#include <memory>

namespace {
// A progress window that opens after a moment and is driven by the work's own loop; events are
// handled between slices, so the window repaints and Cancel is seen.
class Progress {
public:
    Progress(QWidget* parent, const QString& text, qint64 total)
        : m_dialog(text, QStringLiteral("Cancel"), 0, 1000, parent), m_total(total) {
        m_dialog.setWindowTitle(QStringLiteral("Tessaro Kavelin"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
        m_dialog.setValue(0);
    }
    // Answers false once the user cancelled.
    bool update(qint64 done, const QString& label) {
        m_dialog.setLabelText(label);
        m_dialog.setValue(m_total > 0 ? int(qMin<qint64>(1000, done * 1000 / m_total)) : 0);
        QCoreApplication::processEvents();
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    qint64 m_total;
};

constexpr int SliceMs = 60;
} // namespace

InterchangeActions::InterchangeActions(TPDIR_FRM& page, Databases& databases)
    : QObject(&page), m_page(page), m_db(databases) {
    QMenu* folders = page.folderMenu();
    folders->addSeparator();
    m_import = folders->addAction(QStringLiteral("Import Contacts..."));
    m_import->setObjectName(QStringLiteral("C_IMP"));
    m_export = folders->addAction(QStringLiteral("Export Contacts..."));
    m_export->setObjectName(QStringLiteral("C_EXP"));
    connect(folders, &QMenu::aboutToShow, this, &InterchangeActions::updateFolderItems);
    connect(m_import, &QAction::triggered, this, &InterchangeActions::importChosen);
    connect(m_export, &QAction::triggered, this, &InterchangeActions::exportFolder);

    QMenu* contacts = page.contactMenu();
    contacts->addSeparator();
    m_exportSelected = contacts->addAction(QStringLiteral("Export Selected..."));
    m_exportSelected->setObjectName(QStringLiteral("PC_EXP"));
    connect(contacts, &QMenu::aboutToShow, this,
            [this] { m_exportSelected->setEnabled(!m_page.selectedContacts().isEmpty()); });
    connect(m_exportSelected, &QAction::triggered, this, &InterchangeActions::exportSelected);

    page.folderTree()->viewport()->installEventFilter(this);
    page.contactList()->setDragPayload([this](QMimeData& data) { fillDrag(data); });
    updateFolderItems();
}

QStringList InterchangeActions::contactFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        const QString lower = path.toLower();
        if (!path.isEmpty() &&
            (lower.endsWith(QLatin1String(".vcf")) || lower.endsWith(QLatin1String(".vcard")) ||
             lower.endsWith(QLatin1String(".csv"))))
            files << path;
    }
    return files;
}

// The folder a drop of files at the point would import into: the one under the mouse, never
// "All Contacts"; 0 for none.
int InterchangeActions::dropFolder(const QPoint& at) const {
    const QModelIndex under = m_page.folderTree()->indexAt(at).siblingAtColumn(0);
    if (!under.isValid())
        return 0;
    const int cd = m_page.folderModel()->folderId(under);
    return cd == FolderTreeModel::AllContactsFolder ? 0 : cd;
}

bool InterchangeActions::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = drop->source() ? QStringList() : contactFiles(drop->mimeData());
    if (files.isEmpty())
        return QObject::eventFilter(watched, event); // the tree's own drags
    const int folder = dropFolder(drop->position().toPoint());
    if (type == QEvent::DragEnter) {
        // Taken wherever it enters, so the moves that follow reach a folder that takes it.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        return true;
    }
    if (folder == 0) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        // The drop's own event ends before the progress window opens.
        QMetaObject::invokeMethod(
            this, [this, folder, files] { importFiles(folder, files); }, Qt::QueuedConnection);
    return true;
}

void InterchangeActions::updateFolderItems() {
    const bool selected = m_page.hasSelectedFolder();
    m_import->setEnabled(selected &&
                         m_page.selectedFolder().CD != FolderTreeModel::AllContactsFolder);
    m_export->setEnabled(selected);
}

void InterchangeActions::importChosen() {
    updateFolderItems();
    if (!m_import->isEnabled())
        return;
    const int folderId = m_page.selectedFolder().CD;
    const QStringList files = FileChooser::openFiles(&m_page, QStringLiteral("Import Contacts"));
    if (!files.isEmpty())
        importFiles(folderId, files);
}

QList<ImportSummary> InterchangeActions::importFiles(int folderId, const QStringList& files) {
    QList<ImportSummary> summaries;
    if (folderId <= 0 || folderId == FolderTreeModel::AllContactsFolder || files.isEmpty())
        return summaries;
    QStringList lines;
    DataSetEditor cdt(m_db.DTR);
    EditingStatements::configureContact(cdt);
    qint64 total = 0;
    for (const QString& f : files)
        total += QFileInfo(f).size();
    // The progress window closes before the summary opens.
    auto progress =
        std::make_unique<Progress>(&m_page, QStringLiteral("Importing contacts..."), total);
    qint64 before = 0;
    bool cancelled = false;
    for (const QString& name : files) {
        const QString shown = QFileInfo(name).fileName();
        QFile file(name);
        if (cancelled)
            break;
        if (!file.open(QIODevice::ReadOnly)) {
            lines << QStringLiteral("%1: %2").arg(shown, file.errorString());
            continue;
        }
        std::unique_ptr<ContactSource> source = ContactSource::open(file, name);
        ContactImporter importer(cdt, m_db.DTR, folderId, *source);
        try {
            while (importer.step(SliceMs)) {
                if (!progress->update(before + importer.position(),
                                      QStringLiteral("Importing %1: %2 contacts so far")
                                          .arg(shown)
                                          .arg(importer.summary().imported))) {
                    importer.cancel();
                    cancelled = true;
                }
            }
        } catch (const DatabaseError& e) {
            lines << QStringLiteral("%1: %2 Stopped: %3")
                         .arg(shown, importer.summary().text(), e.message());
            summaries << importer.summary();
            break;
        }
        before += QFileInfo(name).size();
        summaries << importer.summary();
        lines << QStringLiteral("%1: %2").arg(shown, importer.summary().text());
    }
    progress.reset();
    m_page.ListContacts();
    Prompt::inform(&m_page, lines.join(u'\n'));
    return summaries;
}

bool InterchangeActions::exportContacts(int folderId, const QList<int>& contactIds) {
    QString filter;
    QString suggested = QStringLiteral("contacts.vcf");
    if (folderId > 0) {
        const QString title = m_page.GetFolderPath(folderId).section(u'\\', -1);
        if (!title.isEmpty())
            suggested = title + QStringLiteral(".vcf");
    }
    const QString name = FileChooser::saveFile(&m_page, QStringLiteral("Export Contacts"),
                                               QDir::home().absoluteFilePath(suggested), &filter);
    if (name.isEmpty())
        return false;
    const QStringList filters = FileChooser::exportFilters();
    ContactExporter::Format format = ContactExporter::formatForFile(name);
    if (filter == filters.value(1))
        format = ContactExporter::Format::VCard3;
    else if (filter == filters.value(2))
        format = ContactExporter::Format::Csv;
    QString path = name;
    if (QFileInfo(path).suffix().isEmpty())
        path += format == ContactExporter::Format::Csv ? QStringLiteral(".csv")
                                                       : QStringLiteral(".vcf");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Prompt::inform(&m_page, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    ContactExporter exporter(m_db.DTR, format, file);
    if (contactIds.isEmpty())
        exporter.addFolder(folderId);
    else
        exporter.addContacts(contactIds);
    auto progress = std::make_unique<Progress>(&m_page, QStringLiteral("Exporting contacts..."),
                                               exporter.total());
    while (exporter.step(SliceMs)) {
        if (!progress->update(exporter.written(),
                              QStringLiteral("%1 contacts written").arg(exporter.written()))) {
            file.cancelWriting();
            file.commit();
            progress.reset();
            Prompt::inform(&m_page, QStringLiteral("Export cancelled: no file was written."));
            return false;
        }
    }
    progress.reset();
    if (!file.commit()) {
        Prompt::inform(&m_page, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    Prompt::inform(&m_page, QStringLiteral("%1 contacts exported to %2.")
                                .arg(exporter.written())
                                .arg(QDir::toNativeSeparators(path)));
    return true;
}

void InterchangeActions::exportFolder() {
    updateFolderItems();
    if (m_export->isEnabled())
        exportContacts(m_page.selectedFolder().CD, {});
}

void InterchangeActions::exportSelected() {
    QList<int> ids;
    for (const ContactRow& row : m_page.selectedContacts())
        ids << row.CD;
    if (!ids.isEmpty())
        exportContacts(0, ids);
}

void InterchangeActions::fillDrag(QMimeData& data) {
    QList<int> ids;
    QString title;
    for (const ContactRow& row : m_page.selectedContacts()) {
        ids << row.CD;
        if (title.isEmpty())
            title = row.CNAM;
    }
    if (ids.isEmpty())
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ContactExporter exporter(m_db.DTR, ContactExporter::Format::VCard4, buffer);
    exporter.addContacts(ids);
    exporter.run();
    data.setData(QStringLiteral("text/vcard"), buffer.data());
    // File managers and mail programs take a file: one in the program's temp folder, named
    // after the first contact.
    QString base = ids.size() == 1 ? title : QStringLiteral("%1 contacts").arg(ids.size());
    base.replace(u'/', u'-');
    const QDir temp(QDir::current().absoluteFilePath(QStringLiteral("../temp/drag")));
    temp.mkpath(QStringLiteral("."));
    QFile file(temp.absoluteFilePath(base.left(80) + QStringLiteral(".vcf")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(buffer.data()) >= 0) {
        file.close();
        data.setUrls({QUrl::fromLocalFile(file.fileName())});
    }
}
