#pragma once

#include "app/Page.h"
#include "dialer/DialRequest.h"
#include "directory/ListMenu.h"
#include "directory/PageFrame.h"
#include "ptcl/PlugInHost.h"
#include "ptcl/PtclBrowser.h"
#include "ptcl/PtclRow.h"

#include <QList>
#include <QString>

class ActionStrip;
class AdvertPane;
class Databases;
class DetailPane;
class DirectoryListView;
class PtclListModel;
class QAction;
class QLabel;

class QMenu;
class QShortcut;
class ReportTable;
class SearchBox;
class SettingsStore;
class TPDIR_FRM;

// The PTCL directory page: searches the telephone directory by phone number or by name and
// address through the PTCL plug-in, lists the entries found, shows the detail of the selected
// one, rings it and copies entries into personal folders.
class TPFDIR_FRM : public Page {
    Q_OBJECT
public:
    static inline const QString PlugInFile = QStringLiteral("TessaroPlugin.so");
    static inline const QString NoPlugIn = QStringLiteral("The PTCL plug-in could not be loaded.");
    static inline const QString Cancelled = QStringLiteral("Search cancelled.");

    TPFDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea,
               QWidget* parent);
    ~TPFDIR_FRM() override;

    // The personal page whose folders "Copy To Folder" offers and whose contact editor stores
    // the copies.
    void setPersonalPage(TPDIR_FRM* personal) { m_personal = personal; }
    // Loads the plug-in from another file now (the page's first search loads the program
    // folder's one); answers whether the host loaded it.
    bool loadPlugIn(const QString& fileName);
    // Where the plug-in runs: its own process, started at the first search.
    PlugInHost& plugInHost() { return m_host; }

    // What the ring button hands to the dialer for a listing.
    static DialRequest dialRequest(const PtclRow& row);

    // Handlers.
    void SRBClick(SearchBox* box);
    void PC_MNUPopup();
    void copyToFolder(QAction* item);
    void RTFClick();
    void DLClick();
    // Escape while a search waits: the plug-in's host is stopped and the search ends.
    void cancelSearch();

    bool isBusy() const { return m_busy; }
    const PtclRow* firstSelectedRow() const;
    QList<PtclRow> selectedRows() const;

    SearchBox* phoneBox() const { return m_qphn; }
    SearchBox* nameBox() const { return m_qtit; }
    SearchBox* addressBox() const { return m_qadd; }
    QLabel* statusLabel() const { return m_rcf; }
    DirectoryListView* resultList() const { return m_list; }
    PtclListModel* resultModel() const { return m_rows; }
    DetailPane* detailPane() const { return m_dsp; }
    ActionStrip* actions() const { return m_strip; }
    QMenu* listMenu() const { return m_pcMnu; }
    AdvertPane* advertPane() const override { return m_advert; }
    PtclBrowser& browser() { return m_pwb; }

protected:
    void setUp() override;
    void writeSettings() override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSearchPanel();
    SearchBox* addBox(const QString& label, const QString& historyKey, const QString& hint,
                      const PageFrame::SearchPanel& search);
    QWidget* buildCentre();
    void buildMenu();
    QByteArray searchRequest(SearchBox* box);
    bool callPlugIn(const QByteArray& request, QByteArray& reply);
    bool fillDetail(ReportTable& ds);

    Databases& m_db;
    SettingsStore& m_settings;
    TPDIR_FRM* m_personal = nullptr;
    PtclBrowser m_pwb; // PWB: fetches pages for the plug-in
    PlugInHost m_host; // runs the plug-in and serves its fetches through m_pwb
    QShortcut* m_cancelKey = nullptr;
    PtclListModel* m_rows;
    bool m_busy = false;

    SearchBox* m_qphn = nullptr;
    SearchBox* m_qtit = nullptr;
    SearchBox* m_qadd = nullptr;
    QLabel* m_rcf = nullptr;
    AdvertPane* m_advert = nullptr;
    DirectoryListView* m_list = nullptr;
    DetailPane* m_dsp = nullptr;
    ActionStrip* m_strip = nullptr;
    ListMenu* m_pcMnu = nullptr;
};
