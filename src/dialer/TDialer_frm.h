#pragma once

#include "app/ImageList.h"
#include "dialer/DialRequest.h"

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QTimer>

class Databases;
class PictureButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class SettingsStore;
class Telephony;
class UpDown;

// The dialling window: borderless, always on top, created once at start and shown modally for
// each call. It shows the contact's title, lets the user step through the numbers and edit the
// one shown, puts the city's area code in front when asked, dials (at once with "Auto Dial")
// through the telephony object TAPI and shows the call's status.
class TDialer_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 440;
    static constexpr int ClientHeight = 290;
    static constexpr int Top = 159;
    static inline const QString PortsKey = QStringLiteral("DIALER\\PORTS");
    static inline const QString AreaCodeSql = QStringLiteral("SELECT CODE FROM CTRY WHERE CD=:VL");

    // Reads the extra serial devices (DIALER\PORTS) once; the settings are written at each close.
    TDialer_frm(Databases& databases, SettingsStore& settings, QWidget* parent = nullptr);
    ~TDialer_frm() override;

    // The one entry every ring action uses: takes the caller's inputs and shows the window
    // modally until it is closed. Does nothing while the window is already showing.
    void Ring(const DialRequest& request);
    // Takes the inputs without showing the window (Ring does this first).
    void setRequest(const DialRequest& request);

    // The caption and hint of a title whose '&' are already doubled: up to 22 characters as
    // they are without a hint, a longer one cut to 19 characters and "..." with the title as hint.
    struct ShortTitleResult {
        QString caption;
        QString hint;
    };
    static ShortTitleResult ShortTitle(const QString& doubledTitle, const QString& title);

    // Handlers.
    void FormShow();
    void UPCAP();
    void INBClick() { UPCAP(); }
    void ACCClick() { UPCAP(); }
    void TimTimer();
    void DLClick();
    void HUClick();
    void CLClick();
    void TAPITapiStatus();
    void GBPaint(PictureButton* sender);

    Telephony& TAPI() { return *m_tapi; }

    // Inputs, set by the caller before the window is shown.
    QString SettingsPrefix = QStringLiteral("PD");
    QString CityCode;
    QString AreaCode;
    QString DialTitle;
    QStringList Numbers;
    bool MobileCall = false;

    // Components.
    QLabel* TIT;
    QLineEdit* NUM;
    UpDown* INB;
    QLabel* STA;
    QCheckBox* ACC;
    QCheckBox* ADC;
    PictureButton* ALGraphicButton1;
    PictureButton* ALGraphicButton2;
    PictureButton* SMS;
    QTimer Tim;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormCreate();
    PictureButton* createButton(const char* name, int tag, const QString& hint, int x, int y);
    QCheckBox* createCheckBox(const char* name, const QString& text, int y);
    void readAreaCode();
    QString key(const char* name) const;

    Databases& m_db;
    SettingsStore& m_settings;
    Telephony* m_tapi;
    ImageList m_pictures; // PngImageList1
    QPixmap m_background; // Image1
};
