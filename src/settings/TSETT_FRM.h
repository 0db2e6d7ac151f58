#pragma once

#include "app/Page.h"
#include "personal/DesignLayout.h"
#include "settings/BackupRestore.h"
#include "settings/FolderBrowser.h"

#include <QList>

class Databases;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class SettingsStore;

// The settings page: the user's own details on the left (kept under USRINF\ and giving the
// main window its title) and the backup and restore of the databases and settings on the right.
class TSETT_FRM : public Page {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 785;
    static constexpr int DesignHeight = 360;
    static inline const QString KeyPrefix = QStringLiteral("USRINF\\");

    TSETT_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea,
              QWidget* parent = nullptr);

    // The caption of the page button that shows the page.
    static QString caption() { return QStringLiteral("Settings"); }

    void BAKSPClick();
    void RESSPClick();
    void SBAKClick();
    void SRESClick();
    // Keeps the main window's title current while the user types in USR or COM.
    void COMChange(QLineEdit* sender);
    // The title the main window shows for the fields' current values.
    QString ownerTitle() const;

    BackupRestore& backupRestore() { return m_backupRestore; }
    FolderBrowser& GDir() { return m_gdir; }

    QFrame* USP;
    QLineEdit* USR;
    QLineEdit* OCC;
    QLineEdit* PHN;
    QLineEdit* MOB;
    QLineEdit* EML;
    QLineEdit* COM;
    QLineEdit* BTP;
    QPlainTextEdit* BDS;
    QLineEdit* BAK;
    QPushButton* BAKSP;
    QPushButton* SBAK;
    QProgressBar* BPRG;
    QLineEdit* RES;
    QPushButton* RESSP;
    QPushButton* SRES;
    QProgressBar* RPRG;

signals:
    // The main window's title follows the user's typing.
    void titleChanged(const QString& title);
    // A restore replaced both databases: the personal page must set up afresh.
    void dataRestored();
    // A backup is about to save the settings: every page writes what it shows into the store.
    void settingsWanted();

protected:
    void setUp() override;
    void writeSettings() override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUserPanel();
    QFrame* buildServicePanel(const QString& name, const QString& button, QLineEdit*& folder,
                              QPushButton*& browse, QPushButton*& start, QProgressBar*& bar);
    QLineEdit* addField(const QString& name, const QString& label, int top);
    void FormResize();
    void runWith(QProgressBar* bar, QPushButton* button, bool backup, const QString& folder);

    SettingsStore& m_settings;
    DesignLayout m_layout;
    FolderBrowser m_gdir;
    BackupRestore m_backupRestore;
    QList<QWidget*> m_fields; // edit boxes and the memo, in creation order
    QList<QWidget*> m_headings;
    QFrame* m_bkp = nullptr;
    QFrame* m_rsp = nullptr;
    QProgressBar* m_activeBar = nullptr;
    int m_labelWidth = 66;
    int m_fieldLeft = 80;
};
