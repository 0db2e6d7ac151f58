// tessaro-contacts: the contact directory from the command line (see Command for the commands).
#include "Command.h"

#include <QGuiApplication>

namespace {
// The tool's own lines are its whole output on standard error: a scheduled job reads them.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quiet);
    // Pages are laid out with the desktop's fonts but nothing is shown: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return Command::dispatch(QCoreApplication::arguments().mid(1));
}
