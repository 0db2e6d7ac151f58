#pragma once

#include <QString>

// What an import did, as the summary shows it.
struct ImportSummary {
    int imported = 0;
    int duplicates = 0;
    int unreadable = 0;
    int cut = 0; // contacts with a value cut to fit its column
    bool cancelled = false;

    // "12 contacts imported, 3 skipped as duplicates, 1 unreadable, 2 cut to fit."
    QString text() const;
};
