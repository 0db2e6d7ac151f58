#pragma once

#include "app/Page.h"

class Databases;
class SettingsStore;

// The business directory page, docked into the main window; for now it shows its caption.
class TBDIR_FRM : public Page {
    Q_OBJECT
public:
    TBDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea, QWidget* parent);

    // The caption the page shows.
    static QString caption() { return QStringLiteral("Business Directory"); }
};
