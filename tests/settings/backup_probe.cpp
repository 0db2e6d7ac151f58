// The program with its main window in a program folder, running one backup or restore from the
// settings page as the user does (folder box, Start button, Yes to the question), then ending
// as "Exit" does. Tests kill it at points of their choosing.
//   backup_probe backup|restore <folder>      (run from <program folder>/bin)
#include "app/BalloonPresenter.h"
#include "app/PictureButton.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "personal/Prompt.h"
#include "settings/TSETT_FRM.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    if (argc != 3 || !QDir::setCurrent(QCoreApplication::applicationDirPath()))
        return 2;
    const bool backup = qstrcmp(argv[1], "backup") == 0;
    const QString folder = QString::fromLocal8Bit(argv[2]);
    // No update check comes in while the services run, and an error is printed, not shown in
    // a box nobody can close.
    TMF::setUpdateIntervalOverride(24 * 3600 * 1000);
    TkApplication::setErrorObserver(
        [](const QString& text) { std::fprintf(stderr, "error: %s\n", qPrintable(text)); });
    TMF tmf;
    tmf.createWindows();
    tmf.show();
    QTest::mouseClick(tmf.Gb3, Qt::LeftButton);
    auto* page = static_cast<TSETT_FRM*>(tmf.page(3));
    // Typed in this run: a backup must hold it.
    page->USR->setFocus();
    QTest::keyClicks(page->USR, QStringLiteral("Typed Before Backup"));
    (backup ? page->BAK : page->RES)->setText(folder);
    Prompt::setNextAnswer(QMessageBox::Yes);
    std::printf("started\n");
    std::fflush(stdout);
    QTest::mouseClick(backup ? page->SBAK : page->SRES, Qt::LeftButton);
    std::printf("%s\n", qPrintable(BalloonPresenter::instance()->text().section(u'\n', 0, 0)));
    tmf.exitProgram();
    return 0;
}
