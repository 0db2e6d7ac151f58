#pragma once

#include "directory/SearchHistory.h"

#include <QLineEdit>

class QCompleter;
class QStringListModel;

// The search box SRB of a directory page: a search button at its right end, Enter and the
// button both asking for a search, and a drop-down of earlier searches that offers the entries
// beginning with the typed text. The history is read again whenever the box gains focus.
class SearchBox : public QLineEdit {
    Q_OBJECT
public:
    SearchBox(SettingsStore& settings, const QString& historyKey, const QIcon& buttonIcon,
              QWidget* parent = nullptr);

    // Puts the text first in the history, writes it and refreshes the suggestions.
    void remember(const QString& text);
    // Replaces the suggestions by the stored history (its first 20 entries).
    void refreshHistory();
    // Closes an open suggestion list (before a search).
    void closeSuggestions();
    QStringList suggestions() const;
    QAction* searchButton() const { return m_button; }

signals:
    void searchRequested();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    SearchHistory m_history;
    QAction* m_button;
    QStringListModel* m_suggestions;
    QCompleter* m_completer;
};
