#pragma once

#include <QTextBrowser>

// The read-only rich-text view RE of a detail pane: shows an RTF file read by RtfReader.
class RtfView : public QTextBrowser {
    Q_OBJECT
public:
    explicit RtfView(QWidget* parent = nullptr);

    // Replaces the content with the RTF file. A file that cannot be read raises
    // ReportFileError and leaves the content as it was.
    void loadFile(const QString& path);
    void loadRtf(const QByteArray& rtf);
};
