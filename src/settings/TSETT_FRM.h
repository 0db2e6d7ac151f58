#pragma once

#include "app/Page.h"

class Databases;
class SettingsStore;

// The settings page (the user's own details, backup and restore), docked into the main window; for
// now it shows its caption.
class TSETT_FRM : public Page {
    Q_OBJECT
public:
    TSETT_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea, QWidget* parent);

    // The caption the page shows.
    static QString caption() { return QStringLiteral("Settings"); }
};
