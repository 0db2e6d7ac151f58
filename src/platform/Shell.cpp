#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace {
Shell::Observer& observer() {
    static Shell::Observer o;
    return o;
}
} // namespace

bool Shell::open(const QUrl& url) {
    if (observer()) {
        observer()(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

bool Shell::openFile(const QString& path) {
    return open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void Shell::setObserver(Observer o) {
    observer() = std::move(o);
}
