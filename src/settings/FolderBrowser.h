#pragma once

#include <QString>
#include <optional>

class QWidget;

// The folder browser GDir shared by the settings page's "..." buttons: it starts in the folder
// it is given, or else in the one it showed last. Tests queue the next choice with
// setNextFolder, and the browser is then not shown at all.
class FolderBrowser {
public:
    // Sets where the next browse starts; an empty text keeps the folder shown last.
    void setStartFolder(const QString& folder) { m_start = folder; }
    QString startFolder() const { return m_start; }

    // Shows the browser; answers the chosen folder, or an empty text when none was chosen.
    QString execute(QWidget* parent);

    // The answer of the next browse (an empty text: the user cancelled).
    static void setNextFolder(const QString& folder);
    // The folder the last browse started in.
    static QString lastStart();

private:
    QString m_start;
};
