#include "settings/FolderBrowser.h"

#include <QFileDialog>

namespace {
std::optional<QString>& nextFolder() {
    static std::optional<QString> folder;
    return folder;
}
QString& shownStart() {
    static QString folder;
    return folder;
}
} // namespace

QString FolderBrowser::execute(QWidget* parent) {
    shownStart() = m_start;
    if (nextFolder()) {
        const QString chosen = *nextFolder();
        nextFolder().reset();
        if (!chosen.isEmpty())
            m_start = chosen;
        return chosen;
    }
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("Browse for Folder"), m_start, QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        m_start = chosen;
    return chosen;
}

void FolderBrowser::setNextFolder(const QString& folder) {
    nextFolder() = folder;
}

QString FolderBrowser::lastStart() {
    return shownStart();
}
