#pragma once

#include "app/Page.h"

class Databases;
class SettingsStore;

// The PTCL directory page, docked into the main window; for now it shows its caption.
class TPFDIR_FRM : public Page {
    Q_OBJECT
public:
    TPFDIR_FRM(Databases& databases, SettingsStore& settings, QWidget* contentArea,
               QWidget* parent);

    // The caption the page shows.
    static QString caption() { return QStringLiteral("PTCL Directory"); }
};
