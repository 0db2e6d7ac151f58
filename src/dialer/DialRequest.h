#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// What a ring action hands to the dialer window: the settings section it keeps its check boxes
// under ("PD" or "FD"), the city whose dialling code is looked up (empty when the caller gives
// the area code itself), the area code for that case, the title, the numbers and the mobile flag.
struct DialRequest {
    QString SettingsPrefix = QStringLiteral("PD");
    QString CityCode;
    QString AreaCode;
    QString DialTitle;
    QStringList Numbers;
    bool MobileCall = false;
};
Q_DECLARE_METATYPE(DialRequest)
