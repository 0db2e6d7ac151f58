#pragma once

#include "app/ImageList.h"
#include "data/Databases.h"
#include "online/UpdateTimer.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class BalloonPresenter;
class HeaderPanel;
class HtmlView;
class Page;
class PicturePanel;
class PictureButton;
class QSystemTrayIcon;
class ServiceClient;
class UpdateCheck;
class SettingsStore;
class ShadowLabel;
class TDialer_frm;
class TrayMenu;
struct DialRequest;

// The main window: a borderless, nearly full-screen frame with the header (owner's name, logo,
// banner or advertisement strip, six page buttons) above the content panel into which the
// directory, settings and information pages are docked, one at a time. It owns the databases,
// the settings store XFS, the balloon presenter MSG and the tray icon with its menu.
class TMF : public QWidget {
    Q_OBJECT
public:
    static inline const QString Title = QStringLiteral("Tessaro Kavelin");
    static inline const QString DefaultDemoAddress =
        QStringLiteral("http://www.tessarokavelin.com/demo/");
    static inline const QColor PanelColour{0x53, 0x6A, 0x9F};
    static constexpr int BottomStrip = 29;
    static constexpr int HeaderHeight = 208;
    static constexpr int PageCount = 5;

    // Sets the application title, opens the data and then the system database (DatabaseError
    // escapes) and loads the settings store "settings.xml" of the working directory.
    TMF();
    ~TMF() override;

    Databases& databases() { return m_db; }
    SettingsStore& settings() { return *XFS; }

    // Creates the other windows once, in order: dialer, editors, the five pages.
    void createWindows();
    // "-h": the first-show work is done, but only the tray icon shows.
    void startMinimised();
    // Restores the window from the tray or the taskbar, raises and activates it.
    void bringForward();
    // Ends the program: the pages write their settings, the store is saved, the loop quits.
    // A second call does nothing.
    void exitProgram();
    // Every page that was set up writes what it shows into the settings store (as at the end).
    void writePageSettings();

    // First-show work, done once (the caption equals the title afterwards).
    void FormShow();
    // Click handler of the six page buttons.
    void GBClick(PictureButton* sender);
    // Chooses a picture button's picture before it paints.
    void GBPaint(PictureButton* sender);
    // Docks or shows page 0..4 in CONT; any other number only hides the shown page.
    void RF(int page);
    // Tray icon click, close button and "Show/Hide": show from the tray, or hide into it.
    void TRAYClick();
    void CBTNClick() { TRAYClick(); }
    void Close1Click() { exitProgram(); }
    // Asks the advertisement refresh to run at the next tick, about 100 ms from now.
    void RefreshAdsSoon();
    // Loads one advertisement page into ADV_TOP or a page's side view, counting the top ones
    // per page under ADV\CNT<page> (ADV\CNTQ<page> with a query).
    void RequestAdvert(HtmlView* view, const QString& query);
    void SetAppStartCursor(bool restore);
    // Seams for tests: the millisecond tick count and the refresh timer's ordinary interval.
    void setTickSource(std::function<quint32()> tick) { m_tick = std::move(tick); }
    void setAdvertTickInterval(int ms) { m_advertTickMs = ms; }
    // The service requests of the main window (update check and download): base address +
    // request into ../temp/file.tmp, one at a time, with failover. The wait keeps the window
    // working; a request made while one runs answers false at once.
    bool IT_ProReq(const QString& request);
    bool IT_GetInfo(const QString& request, QStringList& lines);
    bool ReqBusy() const;
    ServiceClient& service() const { return *m_service; }
    // A hot contact chosen in the tray menu: opens the dialer with its inputs, unless the
    // dialer is already showing.
    void DialHotContact(const DialRequest& dial);

    // The page docked for a page number (0 personal .. 4 information), or null.
    Page* page(int number) const;
    // Puts a page in place of the one created for that number (also used by tests).
    void setPage(int number, Page* page);
    // The page CONT shows now, or null.
    Page* shownPage() const;
    QString demoAddress() const;
    // Whether the desktop has a tray; tests can force the answer.
    bool trayAvailable() const;
    static void setTrayAvailableOverride(std::optional<bool> available);
    // The update timers' interval; tests shorten it, or keep the timers off with -1.
    static void setUpdateIntervalOverride(std::optional<int> ms);

    const ImageList& BIL() const { return m_bil; }
    const ImageList& GIMG() const { return m_gimg; }
    TrayMenu* trayMenu() const { return m_trayMenu; }
    QSystemTrayIcon* trayIcon() const { return TRAY; }
    TDialer_frm* dialer() const { return m_dialer; }
    bool exiting() const { return m_exiting; }

    // Components, named as the program's other parts refer to them.
    ShadowLabel* TIT;
    PictureButton* CBTN;
    HtmlView* ADV_TOP;
    PicturePanel* img_p1;
    PicturePanel* img_p2;
    PictureButton* GB0;
    PictureButton* Gb1;
    PictureButton* Gb2;
    PictureButton* Gb3;
    PictureButton* Gb4;
    PictureButton* Gb5;
    QWidget* MCONT;
    QWidget* CONT;
    QWidget* STP;
    UpdateTimer UPD_CHE;
    UpdateTimer UPD_DL;
    QTimer ADV_UPD;
    QTimer ADV_DON;
    QSystemTrayIcon* TRAY;
    BalloonPresenter* MSG;

    int CurPage = 0;
    QString AdQuery;
    quint32 LastAdTick = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void recoverInterruptedRestore();
    void createHeader();
    void createContent();
    void createTray();
    PictureButton* createPageButton(const QString& name, const ImageList& list, int tag,
                                    const QString& hint);
    void layOut();
    void hideToTray();
    void popUpMenuAt(const QPoint& globalPos);
    void UPD_CHETimer();
    void UPD_DLTimer();
    void ADV_UPDTimer();
    void ADV_DONTimer();
    // Whether the program is the active application with its window shown.
    bool inForeground() const;
    // Whether the next tick makes an advertisement request: a query waits, or the last request
    // is at least the refresh time ago.
    bool advertDue() const;

    Databases m_db;
    std::unique_ptr<SettingsStore> XFS;
    ImageList m_mbil;
    ImageList m_sbil;
    ImageList m_cbil;
    ImageList m_bil;
    ImageList m_gimg;
    HeaderPanel* m_header = nullptr;
    TrayMenu* m_trayMenu = nullptr;
    TDialer_frm* m_dialer = nullptr;
    ServiceClient* m_service = nullptr;
    UpdateCheck* m_updates = nullptr;
    std::array<Page*, PageCount> m_pages{};
    bool m_windowsCreated = false;
    bool m_exiting = false;
    bool m_appStartCursorReplaced = false;
    std::function<quint32()> m_tick;
    int m_advertTickMs;
};
