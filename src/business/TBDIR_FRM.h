#pragma once

#include "app/Page.h"
#include "business/BusinessRow.h"
#include "directory/ListMenu.h"

#include <QList>
#include <QString>

class ActionStrip;
class AdvertPane;
class BusinessListModel;
class Databases;
class DetailPane;
class DirectoryListView;
class HttpClient;
class QAction;
class QLabel;

class QMenu;
class SearchBox;
class SettingsStore;
class TPDIR_FRM;

// The business directory page: searches the service's online directory of businesses with a
// client of its own, lists the listings in their colours, shows the detail of the selected one,
// and copies listings into personal folders.
class TBDIR_FRM : public Page {
    Q_OBJECT
public:
    // The largest search reply taken; a larger one is a failed search.
    static constexpr qint64 ReplyCeiling = 16LL * 1024 * 1024;
    static inline const QString SearchKey = QStringLiteral("BD\\SRB");
    static inline const QString HistoryKey = QStringLiteral("BD\\SRB_L");
    static inline const QString FailedReply = QStringLiteral("Internet Connection Failed.>");

    TBDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea, QWidget* parent);
    ~TBDIR_FRM() override;

    // The service's first base address ("http://host/hvx/"), which the search is sent to.
    void setServiceBase(const QString& base) { m_base = base; }
    QString serviceBase() const { return m_base; }
    // The personal page whose folders "Copy To Folder" offers and whose contact editor stores
    // the copies.
    void setPersonalPage(TPDIR_FRM* personal) { m_personal = personal; }

    // The address a search text is sent to.
    QString requestAddress(const QString& text) const;
    // The advertisement keyword after a search: the text, then the first row's description.
    static QString advertKeyword(const QString& text, const QList<BusinessRow>& rows);

    // Handlers.
    void SRBButtonClick();
    void PC_MNUPopup();
    void PC_SAClick();
    void copyToFolder(QAction* item);
    void RTFClick();
    // Ring Phone (DL) and Ring Mobile (MBL): the first selected listing to the dialer.
    void DLClick(bool mobile);

    bool isBusy() const { return m_busy; }
    const BusinessRow* firstSelectedRow() const;
    QList<BusinessRow> selectedRows() const;

    SearchBox* searchBox() const { return m_srb; }
    QLabel* statusLabel() const { return m_rcf; }
    DirectoryListView* resultList() const { return m_list; }
    BusinessListModel* resultModel() const { return m_rows; }
    DetailPane* detailPane() const { return m_dsp; }
    ActionStrip* actions() const { return m_strip; }
    QMenu* listMenu() const { return m_pcMnu; }
    AdvertPane* advertPane() const override { return m_advert; }
    HttpClient* client() const { return m_client; }

protected:
    void setUp() override;
    void writeSettings() override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSearchPanel();
    QWidget* buildCentre();
    void buildMenu();
    QByteArray request(const QString& text);
    void showStatus(const QString& status);
    bool fillDetail(class ReportTable& ds);

    Databases& m_db;
    SettingsStore& m_settings;
    TPDIR_FRM* m_personal = nullptr;
    QString m_base;
    HttpClient* m_client;
    BusinessListModel* m_rows;
    bool m_busy = false;

    SearchBox* m_srb = nullptr;
    QLabel* m_rcf = nullptr;
    AdvertPane* m_advert = nullptr;
    DirectoryListView* m_list = nullptr;
    DetailPane* m_dsp = nullptr;
    ActionStrip* m_strip = nullptr;
    ListMenu* m_pcMnu = nullptr;
};
