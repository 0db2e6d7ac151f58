#include "directory/SearchHistory.h"

#include "app/SettingsStore.h"

SearchHistory::SearchHistory(SettingsStore& settings, const QString& key)
    : m_settings(settings), m_key(key) {}

void SearchHistory::refresh() {
    QStringList stored;
    m_settings.ReadList(m_key, stored);
    if (stored.size() > MaxEntries)
        stored.erase(stored.begin() + MaxEntries, stored.end());
    m_entries = stored;
}

void SearchHistory::add(const QString& text) {
    m_entries.prepend(text);
    m_settings.WriteList(m_key, m_entries);
    refresh();
}
