#pragma once

#include <optional>

#include "app/Page.h"
#include "contacts/ContactRow.h"
#include "contacts/FolderRow.h"
#include "reports/ReportTable.h"

#include <QModelIndex>
#include <QTimer>
#include <functional>
#include <optional>

class ActionButton;
class ActionStrip;
class ContactListModel;
class ContactSearchRunner;
class ContactListView;
class Databases;
class DetailPane;
class FolderTreeModel;
class FolderTreeView;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QShortcut;
class RtfView;
class SearchBox;
class SettingsStore;
class TC_EDT_FRM;
class TPC_EDT_FRM;

// The personal directory page: the search panel with the folder tree, the contact list with
// its detail pane, and the action buttons. It owns the folder and contact editors.
class TPDIR_FRM : public Page {
    Q_OBJECT
public:
    static inline const QString SearchKey = QStringLiteral("PD\\SRB");
    static inline const QString DetailHeightKey = QStringLiteral("PD\\DTP");
    static inline const QString DetailMaximisedKey = QStringLiteral("PD\\DTP_M");
    static inline const QString HistoryKey = QStringLiteral("PD\\SRB_L");

    TPDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea,
              QWidget* parent = nullptr);
    ~TPDIR_FRM() override;

    // Folder tree.
    void ReloadFolders();
    QString GetFolderPath(int folderId) const;
    // Fills the menu with one item per folder (folder 1 left out), the folder's identifier in
    // each item's data; the handler receives the clicked item.
    void FillFolderMenu(QMenu* menu, const std::function<void(QAction*)>& handler);
    QModelIndex selectedFolderIndex() const;
    bool hasSelectedFolder() const { return selectedFolderIndex().isValid(); }
    FolderRow selectedFolder() const;

    // Contact list.
    void ListContacts(int folderId);
    void ListContacts();
    void ClearContacts();
    // A copy of the first selected row in list order, or none.
    std::optional<ContactRow> firstSelectedContact() const;
    QList<ContactRow> selectedContacts() const;

    // Handlers.
    // Starts a search in the background, or cancels the running one.
    void SRBButtonClick();
    // Whether a search runs; the list shows its results when it ends.
    bool isSearching() const;
    // Stops a running search, keeping the list as it was.
    void cancelSearch();
    ContactSearchRunner* searchRunner() const { return m_search; }
    void C_MNUPopup();
    void C_MNUClick(int tag);
    void PC_MNUPopup();
    void PC_MNUClick(int tag);
    void VST_FFolderDrop(const QModelIndex& target);
    void VST_FContactDrop(const QModelIndex& target);
    // Ring Phone (DL) and Ring Mobile (MBL): the first selected contact to the dialer.
    void DLClick(bool mobile);
    void EMClick();
    void HMPClick();
    void RTFClick();
    void VST_EFocusChanged();
    void TIM_BTVTimer();

    FolderTreeModel* folderModel() const { return m_folders; }
    ContactListModel* contactModel() const { return m_contacts; }
    FolderTreeView* folderTree() const { return m_tree; }
    ContactListView* contactList() const { return m_list; }
    TC_EDT_FRM* folderEditor() const { return m_folderEditor; }
    TPC_EDT_FRM* contactEditor() const { return m_contactEditor; }
    RtfView* detailView() const;
    ReportTable& reportTable();
    QMenu* folderMenu() const { return m_cMnu; }
    QMenu* contactMenu() const { return m_pcMnu; }
    QTimer& detailTimer();
    QStringList searchSuggestions() const;
    ActionButton* actionButton(int tag) const;

protected:
    void setUp() override;
    void writeSettings() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSearchPanel();
    QWidget* buildCentre();
    QWidget* buildButtonStrip();
    void buildMenus();
    void buildShortcuts();
    // Runs the folder or contact menu item with the tag when the menu would enable it.
    void runFolderItem(int tag);
    void runContactItem(int tag);
    void disableButtons();
    // The empty folder's hint, naming what Insert does where the focus is now.
    void showEmptyFolderHint();
    bool fillDetail(ReportTable& ds);
    void folderFocusChanged(const QModelIndex& current);
    void searchListed(int count, const std::vector<int>& keys);
    void searchEnded();
    void openFolderEditor(int tag);
    void openContactEditor(int tag);
    void deleteFolder();
    void deleteContacts();
    QColor contentColour() const;
    QRect contentBounds() const;

    Databases& m_db;
    SettingsStore& m_settings;
    QWidget* m_contentArea;
    FolderTreeModel* m_folders;
    ContactListModel* m_contacts;
    ContactSearchRunner* m_search;
    // The running search: its statements and words, and what the status label showed.
    struct PendingSearch {
        QString listSql;
        QString countSql;
        QStringList words;
        QStringList previousWords;
        QString previousStatus;
        bool waitCursor = false;
    } m_pending;
    QShortcut* m_cancelKey = nullptr;
    // The folder the list shows (0: a search or nothing).
    int m_listedFolder = 0;
    // The count of the last listing of folder 1: every contact.
    int m_allContacts = 0;

    SearchBox* m_srb = nullptr;
    QComboBox* m_flds = nullptr;
    QLabel* m_rcf = nullptr;
    FolderTreeView* m_tree = nullptr;
    ContactListView* m_list = nullptr;
    DetailPane* m_dsp = nullptr;
    ActionStrip* m_strip = nullptr;
    QMenu* m_cMnu = nullptr;
    QMenu* m_pcMnu = nullptr;
    TC_EDT_FRM* m_folderEditor;
    TPC_EDT_FRM* m_contactEditor;
    // The folder listed when its list is empty (the hint is shown), else none.
    std::optional<int> m_hintFolder;
};
