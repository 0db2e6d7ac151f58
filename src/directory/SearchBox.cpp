#include "directory/SearchBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QStringListModel>

SearchBox::SearchBox(SettingsStore& settings, const QString& historyKey, const QIcon& buttonIcon,
                     QWidget* parent)
    : QLineEdit(parent), m_history(settings, historyKey),
      m_button(addAction(buttonIcon, QLineEdit::TrailingPosition)),
      m_suggestions(new QStringListModel(this)), m_completer(new QCompleter(m_suggestions, this)) {
    setObjectName(QStringLiteral("SRB"));
    setClearButtonEnabled(false);
    m_button->setObjectName(QStringLiteral("SRB_BTN"));
    m_button->setToolTip(QStringLiteral("Search"));
    connect(m_button, &QAction::triggered, this, &SearchBox::searchRequested);
    connect(this, &QLineEdit::returnPressed, this, &SearchBox::searchRequested);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setFilterMode(Qt::MatchStartsWith);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setMaxVisibleItems(SearchHistory::MaxEntries);
    setCompleter(m_completer);
}

void SearchBox::remember(const QString& text) {
    m_history.add(text);
    m_suggestions->setStringList(m_history.entries());
}

void SearchBox::refreshHistory() {
    m_history.refresh();
    m_suggestions->setStringList(m_history.entries());
}

void SearchBox::closeSuggestions() {
    if (m_completer->popup())
        m_completer->popup()->hide();
}

QStringList SearchBox::suggestions() const {
    return m_suggestions->stringList();
}

void SearchBox::focusInEvent(QFocusEvent* event) {
    refreshHistory();
    QLineEdit::focusInEvent(event);
}
