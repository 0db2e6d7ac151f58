#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The search history of a search box, kept in the settings file as a list of "N" items:
// newest first, at most 20 entries offered.
class SearchHistory {
public:
    static constexpr int MaxEntries = 20;

    SearchHistory(SettingsStore& settings, const QString& key);

    // Replaces the entries by the stored list, trimmed to its first 20.
    void refresh();
    // Puts the text first (duplicates allowed), writes the whole list and refreshes.
    void add(const QString& text);
    QStringList entries() const { return m_entries; }

private:
    SettingsStore& m_settings;
    QString m_key;
    QStringList m_entries;
};
