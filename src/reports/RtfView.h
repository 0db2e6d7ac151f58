#pragma once

#include <QList>
#include <QTextBrowser>

// The read-only rich-text view RE of a detail pane: shows an RTF file read by RtfReader; its
// context menu can carry the pane's own entries (Print..., Save as PDF...).
class RtfView : public QTextBrowser {
    Q_OBJECT
public:
    explicit RtfView(QWidget* parent = nullptr);

    // Replaces the content with the RTF file. A file that cannot be read raises
    // ReportFileError and leaves the content as it was.
    void loadFile(const QString& path);
    void loadRtf(const QByteArray& rtf);
    // The RTF shown now.
    const QByteArray& rtf() const { return m_rtf; }

    // Entries added below the standard ones (Copy, Select All) of the context menu.
    void setMenuActions(const QList<QAction*>& actions) { m_menuActions = actions; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QByteArray m_rtf;
    QList<QAction*> m_menuActions;
};
