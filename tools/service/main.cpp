// tk-service --port N --data <folder>: the reference web service on 127.0.0.1. Port 0 picks a
// free port; the first line written names the address listened on.
#include "Service.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tk-service"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reference web service on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on (0: a free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("Folder the answers come from."),
                                        QStringLiteral("folder"), QStringLiteral("."));
    parser.addOption(portOption);
    parser.addOption(dataOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "tk-service: --port needs a number from 0 to 65535\n");
        return 2;
    }
    const QString data = QDir(parser.value(dataOption)).absolutePath();
    Service service(data);
    registerEndpoints(service);
    const quint16 bound = service.listen(quint16(port));
    if (bound == 0) {
        std::fprintf(stderr, "tk-service: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("tk-service listening on http://127.0.0.1:%u%s data %s\n", unsigned(bound),
                qPrintable(Service::BasePath), qPrintable(data));
    std::fflush(stdout);
    return app.exec();
}
