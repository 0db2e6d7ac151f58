#pragma once

#include "dialer/DialRequest.h"

#include <QMenu>
#include <QStringList>
#include <memory>

class Databases;
class Query;

// The tray icon's popup menu TrayMenu: the three directory pages, the user's hot contacts under
// "E-Mail", "Mobile" and "Phone" (filled afresh at every opening), "Run On Startup",
// "Show/Hide" and "Exit". Owner-drawn by TrayMenuStyle.
class TrayMenu : public QMenu {
    Q_OBJECT
public:
    static inline const QString HOTSQL =
        QStringLiteral("SELECT FIRST 50 CD,CNAM,PHN,MOB,EML FROM CONT WHERE HOT=1 ORDER BY CNAM");

    explicit TrayMenu(Databases& databases, QWidget* parent = nullptr);
    ~TrayMenu() override;

    // Runs each time the menu is about to open: the autostart check mark and the hot contacts.
    void TrayMenuPopup();
    // The hot contact's numbers, title and city for the dialer (mobile or phone numbers).
    DialRequest DialHotContact(const QString& key, bool mobile);
    void HotContactClick(QAction* entry);
    void RunOnStartup1Click();

    // The program whose start-at-logon entry "Run On Startup" writes (this executable unless
    // set otherwise).
    void setProgramPath(const QString& path) { m_programPath = path; }

    QAction* BusinessDirectory2;
    QAction* BusinessDirectory3;
    QAction* BusinessDirectory1;
    QAction* N7;
    QMenu* Eml_Mnu;
    QMenu* Mob_Mnu;
    QMenu* Pho_Mnu;
    QAction* N6;
    QAction* RunOnStartup1;
    QAction* N8;
    QAction* Show1;
    QAction* Close1;

signals:
    // A directory page item was chosen: 0 personal, 1 business, 2 PTCL.
    void directoryChosen(int page);
    // A phone or mobile entry was chosen; the main window hands this to the dialer.
    void dialRequested(const DialRequest& dial);
    void showHideChosen();
    void exitChosen();

private:
    QMenu* addHotMenu(const QString& title);
    QAction* addPageItem(const QString& caption, int tag);
    void addHotEntry(QMenu* menu, int key, const QString& name);

    Databases& m_db;
    std::unique_ptr<Query> m_hot;
    QString m_programPath;
};
