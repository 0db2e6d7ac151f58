#include "personal/TPDIR_FRM.h"

#include "app/Balloon.h"
#include "app/Helpers.h"
#include "app/SettingsStore.h"
#include "app/TrayMenuStyle.h"
#include "app/WaitCursor.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/ContactActions.h"
#include "directory/DetailPane.h"
#include "directory/DirectoryActions.h"
#include "directory/DirectoryColumns.h"
#include "directory/PageFrame.h"
#include "directory/PanelLook.h"
#include "directory/SearchBox.h"
#include "interchange/InterchangeActions.h"
#include "personal/CollapseBar.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/ContactSearch.h"
#include "personal/ContactSearchRunner.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/Prompt.h"
#include "personal/TC_EDT_FRM.h"
#include "personal/TPC_EDT_FRM.h"
#include "platform/Shell.h"
#include "reports/ReportRows.h"
#include "reports/RtfView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>

TPDIR_FRM::TPDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea,
                     QWidget* parent)
    : Page(parent), m_db(databases), m_settings(settings), m_contentArea(contentArea),
      m_folders(new FolderTreeModel(databases.DTR, databases.MM, this)),
      m_contacts(new ContactListModel(databases.DTR, this)),
      m_search(new ContactSearchRunner(databases.MDB, this)),
      m_folderEditor(new TC_EDT_FRM(databases.DTR, this)),
      m_contactEditor(new TPC_EDT_FRM(databases.DTR, settings, this)) {
    setObjectName(QStringLiteral("TPDIR_FRM"));
    m_folders->setFolderIcon(PanelLook::listImage(0, style()));
    m_contacts->setContactIcon(PanelLook::listImage(1, style()));

    QWidget* search = buildSearchPanel();
    QWidget* centre = buildCentre();
    QWidget* strip = buildButtonStrip();

    PageFrame::arrange(this, search, centre, strip);
    buildMenus();
    buildShortcuts();
    new InterchangeActions(*this, databases); // import and export entries, file drops

    connect(m_folderEditor, &TC_EDT_FRM::folderUpdated, this,
            [this](const FolderRow& row) { m_folders->setFolderRow(selectedFolderIndex(), row); });
    connect(m_contactEditor, &TPC_EDT_FRM::contactUpdated, this, [this](const ContactRow& saved) {
        const int first = m_list->firstSelectedRow();
        if (first < 0)
            return;
        ContactRow row = m_contacts->row(first);
        const int folder = row.CTCD, hot = row.HOT;
        row = saved;
        row.CTCD = folder;
        row.HOT = hot;
        m_contacts->setRow(first, row);
        m_dsp->restartTimer();
    });
    connect(m_search, &ContactSearchRunner::listed, this, &TPDIR_FRM::searchListed);
    connect(m_search, &ContactSearchRunner::moreKeys, m_contacts, &ContactListModel::appendKeys);
    connect(m_search, &ContactSearchRunner::cancelled, this, [this] {
        m_contacts->setSearchWords(m_pending.previousWords);
        m_rcf->setText(m_pending.previousStatus);
        searchEnded();
        m_dsp->restartTimer();
    });
    connect(m_search, &ContactSearchRunner::failed, this, [this](const QString& message) {
        // A search that failed after it listed keeps the rows it gave.
        if (m_pending.waitCursor)
            m_rcf->setText(m_pending.previousStatus);
        searchEnded();
        throw DatabaseError(message);
    });
    // A failure while rows are read on demand reaches the general error display.
    connect(
        m_contacts, &ContactListModel::fetchFailed, this,
        [](const QString& message) { throw DatabaseError(message); }, Qt::QueuedConnection);
}

TPDIR_FRM::~TPDIR_FRM() {
    // The page goes first: a search still running is stopped without telling anyone.
    m_search->blockSignals(true);
    m_search->stop();
    if (m_pending.waitCursor)
        QApplication::restoreOverrideCursor();
}

RtfView* TPDIR_FRM::detailView() const {
    return m_dsp->detailView();
}

ReportTable& TPDIR_FRM::reportTable() {
    return m_dsp->reportTable();
}

QTimer& TPDIR_FRM::detailTimer() {
    return m_dsp->detailTimer();
}

QWidget* TPDIR_FRM::buildSearchPanel() {
    const PageFrame::SearchPanel search = PageFrame::searchPanel(this, QStringLiteral("Search"));
    QWidget* panel = search.panel;
    QVBoxLayout* v = search.layout;

    m_srb = new SearchBox(m_settings, HistoryKey, PanelLook::listImage(3, style()), panel);
    connect(m_srb, &SearchBox::searchRequested, this, &TPDIR_FRM::SRBButtonClick);
    v->addWidget(m_srb);

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(PanelLook::label(QStringLiteral("Field :"), panel));
    m_flds = new QComboBox(panel);
    m_flds->setObjectName(QStringLiteral("FLDS"));
    m_flds->setEditable(false);
    m_flds->addItem(QStringLiteral("All (Recommended)"));
    for (int c = 1; c < DirectoryColumns::Count; ++c)
        m_flds->addItem(DirectoryColumns::title(c));
    m_flds->setCurrentIndex(0);
    connect(m_flds, &QComboBox::currentIndexChanged, m_contacts, &ContactListModel::setFieldChoice);
    fieldRow->addWidget(m_flds, 1);
    v->addLayout(fieldRow);

    m_rcf = PageFrame::addStatusLabel(search);

    m_tree = new FolderTreeView(panel);
    m_tree->setFolderModel(m_folders);
    v->addWidget(m_tree, 1);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { folderFocusChanged(current); });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        C_MNUPopup();
        m_cMnu->popup(m_tree->viewport()->mapToGlobal(pos));
    });
    m_tree->viewport()->installEventFilter(this);
    m_tree->installEventFilter(this);
    connect(m_tree, &FolderTreeView::folderDropped, this, &TPDIR_FRM::VST_FFolderDrop);
    connect(m_tree, &FolderTreeView::contactsDropped, this, &TPDIR_FRM::VST_FContactDrop);
    return panel;
}

QWidget* TPDIR_FRM::buildCentre() {
    m_dsp = new DetailPane(QStringLiteral("PD"), ReportTable::Layout::Contact, m_settings, this);
    m_list = new ContactListView(m_dsp);
    m_list->setContactModel(m_contacts);
    m_tree->setContactSource(m_list);
    m_dsp->setList(m_list);
    m_dsp->setDetailFill([this](ReportTable& ds) { return fillDetail(ds); });
    connect(m_list, &DirectoryListView::focusChanged, this, &TPDIR_FRM::VST_EFocusChanged);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PC_MNUPopup();
        m_pcMnu->popup(m_list->viewport()->mapToGlobal(pos));
    });
    m_list->viewport()->installEventFilter(this);
    return m_dsp;
}

QWidget* TPDIR_FRM::buildButtonStrip() {
    m_strip = new ActionStrip(
        {ActionStrip::DL, ActionStrip::MBL, ActionStrip::EM, ActionStrip::HMP, ActionStrip::RTF},
        this);
    connect(m_strip, &ActionStrip::ringClicked, this, &TPDIR_FRM::DLClick);
    connect(m_strip, &ActionStrip::mailClicked, this, &TPDIR_FRM::EMClick);
    connect(m_strip, &ActionStrip::homePageClicked, this, &TPDIR_FRM::HMPClick);
    connect(m_strip, &ActionStrip::reportClicked, this, &TPDIR_FRM::RTFClick);
    m_dsp->setReportSource(
        [this](ReportTable& ds) { ReportRows::fillContactReport(ds, selectedContacts()); },
        actionButton(4));
    return m_strip;
}

void TPDIR_FRM::buildMenus() {
    m_cMnu = new QMenu(this);
    m_cMnu->setObjectName(QStringLiteral("C_MNU"));
    TrayMenuStyle::apply(m_cMnu);
    const struct {
        const char* name;
        const char* caption;
        int tag;
    } folderItems[] = {
        {"C_CR", "Create Folder", 1}, {"C_UP", "Update Folder", 2}, {"C_DL", "Delete Folder", 3}};
    for (const auto& item : folderItems) {
        QAction* a = m_cMnu->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setData(item.tag);
        connect(a, &QAction::triggered, this, [this, tag = item.tag] { C_MNUClick(tag); });
    }
    m_pcMnu = new QMenu(this);
    m_pcMnu->setObjectName(QStringLiteral("PC_MNU"));
    TrayMenuStyle::apply(m_pcMnu);
    const struct {
        const char* name;
        const char* caption;
        int tag;
    } contactItems[] = {{"PC_CR", "Create Contact", 1},
                        {"PC_UP", "Update Contact", 2},
                        {"PC_DL", "Delete Contact", 3},
                        {"PC_SA", "Select All", 4}};
    for (const auto& item : contactItems) {
        QAction* a = m_pcMnu->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setData(item.tag);
        connect(a, &QAction::triggered, this, [this, tag = item.tag] { PC_MNUClick(tag); });
    }
}

// Keys beside the menus: Insert or Ctrl+N creates (a folder while the tree has the focus, else a
// contact), F2 or Enter updates and Delete deletes what the focused control shows, Ctrl+F goes to
// the search box. Each key does what the menu item would, only when the item would be enabled.
void TPDIR_FRM::buildShortcuts() {
    const auto add = [](QWidget* owner, const QList<QKeySequence>& keys,
                        Qt::ShortcutContext context, const std::function<void()>& handler) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, owner);
            shortcut->setContext(context);
            QObject::connect(shortcut, &QShortcut::activated, owner, handler);
        }
    };
    add(this, {QKeySequence(Qt::Key_Insert), QKeySequence::New}, Qt::WidgetWithChildrenShortcut,
        [this] {
            if (m_tree->hasFocus())
                runFolderItem(1);
            else
                runContactItem(1);
        });
    const QList<QKeySequence> update = {QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_Return),
                                        QKeySequence(Qt::Key_Enter)};
    add(m_tree, update, Qt::WidgetShortcut, [this] { runFolderItem(2); });
    add(m_list, update, Qt::WidgetShortcut, [this] { runContactItem(2); });
    add(m_tree, {QKeySequence::Delete}, Qt::WidgetShortcut, [this] { runFolderItem(3); });
    add(m_list, {QKeySequence::Delete}, Qt::WidgetShortcut, [this] { runContactItem(3); });
    // Escape stops a running search; the key is free for others otherwise.
    m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_cancelKey->setContext(Qt::WindowShortcut);
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, &TPDIR_FRM::cancelSearch);
    add(this, {QKeySequence::Find}, Qt::WidgetWithChildrenShortcut, [this] {
        m_srb->setFocus(Qt::ShortcutFocusReason);
        m_srb->selectAll();
    });
}

void TPDIR_FRM::runFolderItem(int tag) {
    C_MNUPopup();
    for (QAction* item : m_cMnu->actions())
        if (item->data().toInt() == tag && item->isEnabled())
            C_MNUClick(tag);
}

void TPDIR_FRM::runContactItem(int tag) {
    PC_MNUPopup();
    for (QAction* item : m_pcMnu->actions())
        if (item->data().toInt() == tag && item->isEnabled())
            PC_MNUClick(tag);
}

ActionButton* TPDIR_FRM::actionButton(int tag) const {
    return m_strip->button(tag);
}

void TPDIR_FRM::disableButtons() {
    m_strip->disableAll();
}

bool TPDIR_FRM::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the tree or the list, on a row or below the rows, updates the
    // selected folder or contact. The editor opens once the click has been handled, so the
    // tree still opens or closes a double-clicked folder first.
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_tree->viewport() && hasSelectedFolder())
            QTimer::singleShot(0, this, [this] { C_MNUClick(2); });
        else if (watched == m_list->viewport() && firstSelectedContact())
            QTimer::singleShot(0, this, [this] { PC_MNUClick(2); });
    }
    if (watched == m_tree &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showEmptyFolderHint();
    return Page::eventFilter(watched, event);
}

// ---- settings and first showing

void TPDIR_FRM::setUp() {
    m_srb->setText(m_settings.ReadText(SearchKey, QString()));
    m_dsp->readSettings();
    m_strip->placeButtons();
    ReloadFolders();
    // Selecting the folder during the reload has usually listed it already.
    if (hasSelectedFolder() && m_listedFolder != selectedFolder().CD)
        ListContacts(selectedFolder().CD);
}

void TPDIR_FRM::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    m_srb->setFocus();
    m_srb->selectAll();
}

void TPDIR_FRM::writeSettings() {
    m_settings.WriteText(SearchKey, m_srb->text());
    m_dsp->writeSettings();
}

// ---- folder tree

QModelIndex TPDIR_FRM::selectedFolderIndex() const {
    return m_tree->selectedFolder();
}

FolderRow TPDIR_FRM::selectedFolder() const {
    return m_folders->folderRow(selectedFolderIndex());
}

QString TPDIR_FRM::GetFolderPath(int folderId) const {
    return m_folders->GetFolderPath(folderId);
}

void TPDIR_FRM::FillFolderMenu(QMenu* menu, const std::function<void(QAction*)>& handler) {
    menu->clear();
    if (m_folders->rowCount() == 0)
        return;
    for (const auto& [caption, cd] : m_folders->folderMenuEntries()) {
        QAction* item = menu->addAction(TrayMenuStyle::caption(caption));
        item->setData(cd);
        QObject::connect(item, &QAction::triggered, menu, [handler, item] { handler(item); });
    }
}

void TPDIR_FRM::ReloadFolders() {
    const FolderTreeModel::Place place = m_folders->rememberPlace(selectedFolderIndex());
    m_folders->clear();
    ClearContacts();
    m_folders->restart();
    if (m_folders->rowCount() == 0)
        return;
    QModelIndex same, next, previous;
    m_tree->setUpdatesEnabled(false);
    m_folders->walk([&](const QModelIndex& index) {
        const int cd = m_folders->folderId(index);
        if (place.same && cd == place.same && !same.isValid())
            same = index;
        if (place.next && cd == place.next && !next.isValid())
            next = index;
        if (place.previous && cd == place.previous && !previous.isValid())
            previous = index;
        return true;
    });
    m_tree->setUpdatesEnabled(true);
    for (const QModelIndex& candidate : {same, next, previous}) {
        if (candidate.isValid()) {
            m_tree->selectFolder(candidate);
            break;
        }
    }
    if (!selectedFolderIndex().isValid())
        m_tree->selectFolder(m_folders->index(0, 0));
}

void TPDIR_FRM::folderFocusChanged(const QModelIndex& current) {
    if (!current.isValid() || !hasSelectedFolder())
        return;
    disableButtons();
    ListContacts(m_folders->folderId(current.siblingAtColumn(0)));
}

void TPDIR_FRM::C_MNUPopup() {
    const bool selected = hasSelectedFolder();
    const auto item = [this](const char* name) {
        return m_cMnu->findChild<QAction*>(QString::fromLatin1(name));
    };
    item("C_CR")->setEnabled(true);
    item("C_UP")->setEnabled(selected);
    item("C_DL")->setEnabled(selected && selectedFolder().CD != FolderTreeModel::AllContactsFolder);
}

void TPDIR_FRM::C_MNUClick(int tag) {
    if (tag == 1 || tag == 2)
        openFolderEditor(tag);
    else if (tag == 3)
        deleteFolder();
}

QColor TPDIR_FRM::contentColour() const {
    QWidget* area = m_contentArea ? m_contentArea : const_cast<TPDIR_FRM*>(this);
    return area->palette().color(QPalette::Window);
}

QRect TPDIR_FRM::contentBounds() const {
    QWidget* area = m_contentArea ? m_contentArea : const_cast<TPDIR_FRM*>(this);
    return QRect(area->mapToGlobal(QPoint(0, 0)), area->size());
}

void TPDIR_FRM::openFolderEditor(int tag) {
    const QModelIndex selected = selectedFolderIndex();
    m_folderEditor->setMode(tag);
    m_folderEditor->setColour(contentColour());
    m_folderEditor->EditFolderId = selected.isValid() ? m_folders->folderId(selected) : 0;
    const QModelIndex parent = tag == 1 ? selected : selected.parent();
    const int parentId = parent.isValid() ? m_folders->folderId(parent) : 0;
    if (parentId != 0 && parentId != FolderTreeModel::AllContactsFolder) {
        m_folderEditor->ParentId = parentId;
        m_folderEditor->ParentPath = GetFolderPath(parentId);
    } else {
        m_folderEditor->ParentId = 0;
        m_folderEditor->ParentPath.clear();
    }
    m_folderEditor->setBounds(contentBounds());
    m_folderEditor->execute();
    update();
    if (tag == 1)
        ReloadFolders();
}

void TPDIR_FRM::deleteFolder() {
    const QModelIndex selected = selectedFolderIndex();
    if (!selected.isValid())
        return;
    if (!Prompt::confirm(this, QStringLiteral("Delete selected \"Folder\" permanently.")))
        return;
    m_folders->deleteFolder(selected);
    ClearContacts();
    // Removing the rows moved the tree's current row to a neighbour without selecting it:
    // select that folder and list its contacts, so the highlighted folder and the list agree.
    const QModelIndex now = m_tree->currentIndex().siblingAtColumn(0);
    if (now.isValid()) {
        m_tree->selectFolder(now);
        ListContacts(m_folders->folderId(now));
    }
}

void TPDIR_FRM::VST_FFolderDrop(const QModelIndex& target) {
    const QModelIndex moved = selectedFolderIndex();
    if (!moved.isValid())
        return;
    if (!m_folders->moveFolder(moved, target))
        Prompt::inform(
            this, QStringLiteral("Target node cannot be a child node of the node to be moved."));
}

void TPDIR_FRM::VST_FContactDrop(const QModelIndex& target) {
    if (!target.isValid())
        return;
    QList<int> ids;
    for (int r : m_list->selectedRowNumbers())
        ids.append(m_contacts->row(r).CD);
    m_folders->moveContacts(ids, m_folders->folderId(target));
    ListContacts();
}

// ---- contact list

void TPDIR_FRM::ClearContacts() {
    cancelSearch();
    m_listedFolder = 0;
    m_contacts->clear();
}

void TPDIR_FRM::ListContacts(int folderId) {
    m_hintFolder = folderId;
    showEmptyFolderHint();
    cancelSearch();
    m_dsp->detailView()->clear();
    m_contacts->ListContacts(folderId);
    m_listedFolder = folderId;
    if (folderId == FolderTreeModel::AllContactsFolder)
        m_allContacts = m_contacts->count();
    if (m_contacts->rowCount() > 0)
        m_list->focusRow(0);
}

void TPDIR_FRM::showEmptyFolderHint() {
    if (!m_hintFolder)
        return;
    const bool all = *m_hintFolder == FolderTreeModel::AllContactsFolder;
    // Insert creates a folder while the tree has the focus, a contact anywhere else.
    if (m_tree->hasFocus())
        m_list->setEmptyText(
            all ? QStringLiteral("No contacts yet. In the folder list Insert adds a folder; "
                                 "select a folder of your own, click this list and press "
                                 "Insert to add a contact.")
                : QStringLiteral("This folder has no contacts. In the folder list Insert adds "
                                 "a folder; click this list and press Insert, or right-click "
                                 "here, to add a contact."));
    else
        m_list->setEmptyText(all ? QStringLiteral("No contacts yet. Select a folder of your own "
                                                  "and press Insert to add one.")
                                 : QStringLiteral("This folder has no contacts. Press Insert, "
                                                  "or right-click here, to add one."));
}

void TPDIR_FRM::ListContacts() {
    cancelSearch();
    m_dsp->detailView()->clear();
    m_contacts->ListContacts();
    if (m_contacts->rowCount() > 0)
        m_list->focusRow(0);
}

std::optional<ContactRow> TPDIR_FRM::firstSelectedContact() const {
    const int first = m_list->firstSelectedRow();
    if (first < 0)
        return std::nullopt;
    return m_contacts->row(first);
}

QList<ContactRow> TPDIR_FRM::selectedContacts() const {
    return m_list->selectedIn(*m_contacts);
}

QStringList TPDIR_FRM::searchSuggestions() const {
    return m_srb->suggestions();
}

bool TPDIR_FRM::isSearching() const {
    return m_search->isSearching();
}

void TPDIR_FRM::cancelSearch() {
    m_search->cancel();
}

void TPDIR_FRM::SRBButtonClick() {
    // A second click while a search runs stops it; one still giving the rest of its rows
    // makes way for the new search.
    if (m_search->isSearching()) {
        cancelSearch();
        return;
    }
    m_search->stop();
    const QStringList previousWords = m_contacts->searchWords();
    m_contacts->setSearchWords({});
    m_srb->closeSuggestions();
    const QString text = m_srb->text();
    if (!text.isEmpty())
        m_srb->remember(text);
    if (text.isEmpty()) {
        m_rcf->clear();
        if (hasSelectedFolder())
            ListContacts(selectedFolder().CD);
        return;
    }
    const QStringList words = ContactSearch::searchWords(text);
    if (words.isEmpty()) {
        ShowBalloon(m_srb, QStringLiteral("Empty Search"), BalloonKind::Error);
        return;
    }
    const QString pattern = ContactSearch::pattern(text);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_pending.waitCursor = true;
    disableButtons();
    const int field = m_flds->currentIndex();
    m_pending.listSql = ContactSearch::searchListSql(field, pattern);
    m_pending.countSql = ContactSearch::searchCountSql(field, pattern);
    m_pending.words = words;
    m_pending.previousWords = previousWords;
    m_pending.previousStatus = m_rcf->text();
    // The count and the listing run in the background; the list stays until they are done.
    m_rcf->setText(QStringLiteral("Searching..."));
    m_cancelKey->setEnabled(true);
    m_search->start({m_pending.countSql, ContactSearch::searchKeysSql(field, pattern, true),
                     ContactSearch::searchKeysSql(field, pattern, false), m_allContacts});
    update();
}

void TPDIR_FRM::searchEnded() {
    m_cancelKey->setEnabled(false);
    if (m_pending.waitCursor)
        QApplication::restoreOverrideCursor();
    m_pending.waitCursor = false;
}

// The count and the first rows show at once; the rest of the keys join the list as they come.
void TPDIR_FRM::searchListed(int count, const std::vector<int>& keys) {
    m_dsp->detailView()->clear();
    m_listedFolder = 0;
    m_contacts->showKeys(m_pending.listSql, m_pending.countSql, count, keys);
    m_contacts->setSearchWords(m_pending.words);
    m_hintFolder.reset();
    m_list->setEmptyText(QString());
    if (m_contacts->rowCount() > 0)
        m_list->focusRow(0);
    m_rcf->setText(QString::number(m_contacts->count()) + QStringLiteral(" Records Found"));
    searchEnded();
}

void TPDIR_FRM::PC_MNUPopup() {
    const bool contact = firstSelectedContact().has_value();
    const bool folder =
        hasSelectedFolder() && selectedFolder().CD != FolderTreeModel::AllContactsFolder;
    const auto item = [this](const char* name) {
        return m_pcMnu->findChild<QAction*>(QString::fromLatin1(name));
    };
    item("PC_CR")->setEnabled(folder);
    item("PC_UP")->setEnabled(contact);
    item("PC_DL")->setEnabled(contact);
    item("PC_SA")->setEnabled(contact);
}

void TPDIR_FRM::PC_MNUClick(int tag) {
    switch (tag) {
    case 1:
    case 2:
        openContactEditor(tag);
        break;
    case 3:
        deleteContacts();
        break;
    case 4:
        m_list->selectAll();
        break;
    default:
        break;
    }
}

void TPDIR_FRM::openContactEditor(int tag) {
    const std::optional<ContactRow> contact = firstSelectedContact();
    if (tag == 2 && !contact)
        return;
    m_contactEditor->setMode(tag);
    m_contactEditor->setColour(contentColour());
    if (contact) {
        m_contactEditor->FolderId = contact->CTCD;
        m_contactEditor->ContactId = contact->CD;
    } else {
        m_contactEditor->FolderId = selectedFolder().CD;
        m_contactEditor->ContactId = 0;
    }
    m_contactEditor->FolderPath = GetFolderPath(m_contactEditor->FolderId);
    m_contactEditor->setBounds(contentBounds());
    m_contactEditor->execute();
    update();
    if (tag == 1)
        ListContacts();
}

void TPDIR_FRM::deleteContacts() {
    const QList<int> rows = m_list->selectedRowNumbers();
    if (rows.isEmpty())
        return;
    if (!Prompt::confirm(this, QStringLiteral("Delete all selected \"Contacts\" permanently.")))
        return;
    QList<int> deleted;
    try {
        for (int r : rows) {
            m_db.MM.ExecStatement(QStringLiteral("DELETE FROM CONT WHERE CD=") +
                                  QString::number(m_contacts->row(r).CD));
            deleted.append(r);
        }
    } catch (...) {
        m_contacts->removeListedRows(deleted);
        throw;
    }
    m_contacts->removeListedRows(deleted);
    m_db.DTR.CommitRetaining();
}

// ---- actions

void TPDIR_FRM::VST_EFocusChanged() {
    // Restarting the one-shot timer renders only where a quick series of moves comes to rest.
    m_dsp->restartTimer();
}

void TPDIR_FRM::TIM_BTVTimer() {
    m_dsp->TIM_BTVTimer();
}

// The detail of the first selected row, and the buttons it enables.
bool TPDIR_FRM::fillDetail(ReportTable& ds) {
    const std::optional<ContactRow> first = firstSelectedContact();
    if (!first)
        return false;
    m_strip->apply(ContactActions::enabling(*first, int(m_list->selectedRowNumbers().size())));
    ReportRows::fillContactDetail(ds, *first);
    return true;
}

void TPDIR_FRM::RTFClick() {
    m_dsp->showReport();
}

void TPDIR_FRM::DLClick(bool mobile) {
    if (const std::optional<ContactRow> row = firstSelectedContact())
        emit dialRequested(DirectoryActions::dialRequest(*row, mobile));
}

void TPDIR_FRM::EMClick() {
    DirectoryActions::sendMail(selectedContacts(), actionButton(0));
}

void TPDIR_FRM::HMPClick() {
    const std::optional<ContactRow> first = firstSelectedContact();
    DirectoryActions::visitHomePage(first ? &*first : nullptr, actionButton(2));
}
