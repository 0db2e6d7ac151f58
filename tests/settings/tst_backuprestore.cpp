// Backup and restore from the settings page of the running main window, through the embedded
// engine's services manager: the folders chosen, the bars, the balloons, the files left in the
// folder, the data and settings brought back, and the current data kept safe from bad sets.
#include "TempDatabase.h"
#include "app/BalloonPresenter.h"
#include "app/PictureButton.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "data/ScriptRunner.h"
#include "data/ServiceJob.h"
#include "personal/ContactListModel.h"
#include "personal/Prompt.h"
#include "personal/TPDIR_FRM.h"
#include "settings/FolderBrowser.h"
#include "settings/TSETT_FRM.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QtTest>

namespace {
// Records the values a progress bar shows each time it paints.
class PaintedValues : public QObject {
public:
    explicit PaintedValues(QProgressBar* bar) : m_bar(bar) { bar->installEventFilter(this); }
    QList<int> values;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            values << m_bar->value();
        return false;
    }

private:
    QProgressBar* m_bar;
};

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class BackupRestoreTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_home = QDir::currentPath();
        m_tmp = std::make_unique<TempDatabase>();
        m_tmp->installTemplates();
        QVERIFY(QDir::setCurrent(m_tmp->binDir()));
        // The window's service traffic (update check, advertisements) goes to a closed loopback
        // port.
        qputenv("http_proxy", "http://127.0.0.1:9");
        m_tmf = std::make_unique<TMF>();
        m_tmf->createWindows();
        m_tmf->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_tmf.get()));
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        m_page = static_cast<TSETT_FRM*>(m_tmf->page(3));
        QCOMPARE(m_tmf->shownPage(), m_page);
    }
    void cleanup() {
        m_tmf.reset();
        QDir::setCurrent(m_home);
        m_tmp.reset();
    }

    void choosingFolders() {
        const QString save = m_tmp->root() + "/Save";
        FolderBrowser::setNextFolder(save + "/");
        QTest::mouseClick(m_page->BAKSP, Qt::LeftButton);
        QCOMPARE(m_page->BAK->text(), save + "/TessaroBackup");
        // The next browse starts in the folder the backup folder is in.
        FolderBrowser::setNextFolder(QString());
        QTest::mouseClick(m_page->BAKSP, Qt::LeftButton);
        QCOMPARE(FolderBrowser::lastStart(), save + "/");
        QCOMPARE(m_page->BAK->text(), save + "/TessaroBackup");
        // Enter on a focused button presses it.
        FolderBrowser::setNextFolder(save + "/TessaroBackup");
        m_page->RESSP->setFocus();
        QTest::keyClick(m_page->RESSP, Qt::Key_Return);
        QCOMPARE(m_page->RES->text(), save + "/TessaroBackup");
        QCOMPARE(BackupRestore::BackupBrowseStart("/home/Ali/Save/tessarobackup"),
                 QStringLiteral("/home/Ali/Save/"));
        QCOMPARE(BackupRestore::BackupBrowseStart("/home/Ali/MyTessaroBackup"),
                 QStringLiteral("/home/Ali/MyTessaroBackup"));
    }

    void emptyFolderBoxes() {
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Null Value Not Allowed"));
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Null Value Not Allowed"));
        QCOMPARE(m_page->BPRG->value(), 0);
    }

    void progressCounting() {
        QCOMPARE(BackupRestore::percent(28, BackupRestore::BackupLineTotal), 50);
        QCOMPARE(BackupRestore::percent(60, BackupRestore::BackupLineTotal), 107);
        QCOMPARE(BackupRestore::percent(3, 8), 38); // 37.5: halves to even
        QCOMPARE(BackupRestore::percent(5, 8), 62); // 62.5
        QVERIFY(BackupRestore::isBackupProgressLine("gbak:writing tables"));
        QVERIFY(BackupRestore::isBackupProgressLine("gbak: writing tables"));
        QVERIFY(!BackupRestore::isBackupProgressLine("gbak:    writing table CONT"));
        QVERIFY(!BackupRestore::isBackupProgressLine("GBAK:writing tables"));
        QVERIFY(BackupRestore::isRestoreProgressLine("gbak:restoring table CONT"));
        QVERIFY(BackupRestore::isRestoreProgressLine("gbak: restoring table CONT"));
    }

    // The whole round: back up, change contacts and settings, restore, see the old data on the
    // personal page, and keep the restored settings file through the end of the program.
    void backupThenRestoreBringsTheOldDataBack() {
        Databases& db = m_tmf->databases();
        addContact(501, "Indus Traders");
        addContact(502, "Bolan Mills");
        // What the personal page's search box shows goes into the set.
        QCOMPARE(m_tmf->page(0)->tag(), 1);
        m_tmf->page(0)->findChild<QLineEdit*>("SRB")->setText("before");
        const QString folder = m_tmp->root() + QStringLiteral("/Sicherung 备份/TessaroBackup");
        QVERIFY(QDir().mkpath(folder));
        QFile notes(folder + "/notes.txt");
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("mine") == 4);
        notes.close();
        m_page->BAK->setText(folder);
        // Typed just now: the set holds what the page shows, not what the file held.
        m_page->USR->setFocus();
        QTest::keyClicks(m_page->USR, QStringLiteral("Typed Now"));
        PaintedValues painted(m_page->BPRG);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->header(), QStringLiteral("INFORMATION"));
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        QCOMPARE(m_page->BPRG->value(), 100);
        // The bar painted its progress while the services ran.
        QVERIFY2(std::any_of(painted.values.begin(), painted.values.end(),
                             [](int v) { return v > 0 && v < 100; }),
                 qPrintable(QString::number(painted.values.size())));
        QDir dir(folder);
        QCOMPARE(dir.entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.fbk", "SYS.fbk", "notes.txt", "settings.xml"}));
        QVERIFY(QFileInfo(folder + "/DATA.fbk").size() > 10000);
        const QByteArray savedSettings = bytesOf(folder + "/settings.xml");
        QVERIFY(savedSettings.contains("before"));
        QVERIFY(savedSettings.contains("Typed Now"));

        db.MM.ExecStatement("delete from cont where cd=501");
        db.DTR.CommitRetaining();
        addContact(503, "Newer Contact");
        db.SYS_MM.ExecStatement("update hvx set com=2 where id=4");
        db.SYS_DTR.CommitRetaining();
        QTest::mouseClick(m_tmf->GB0, Qt::LeftButton);
        static_cast<TPDIR_FRM*>(m_tmf->page(0))->ListContacts(1);
        QCOMPARE(names(), QStringList({"Bolan Mills", "Newer Contact"}));

        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        m_page->RES->setText(folder);
        // The question names the set; No leaves everything as it is.
        Prompt::setNextAnswer(QMessageBox::No);
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        QVERIFY(Prompt::lastText().contains(folder));
        QVERIFY2(Prompt::lastText().contains(QLocale().toString(
                     QFileInfo(folder + "/SYS.fbk").lastModified(), QLocale::ShortFormat)),
                 qPrintable(Prompt::lastText()));
        QCOMPARE(m_page->RPRG->value(), 0);
        QCOMPARE(db.MM.QueryCount("", "CONT"), 2);
        QVERIFY(!QFileInfo::exists(m_tmp->root() + "/DATA/before-restore"));

        Prompt::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        const QString told = BalloonPresenter::instance()->text();
        QVERIFY2(told.startsWith(QStringLiteral("Restore Complete\n")), qPrintable(told));
        QCOMPARE(m_page->RPRG->value(), 100);
        // The replaced files are kept where the balloon says.
        const QString safety = m_page->backupRestore().safetyFolder();
        QVERIFY2(told.contains(safety) &&
                     safety.startsWith(m_tmp->root() + "/DATA/before-restore/"),
                 qPrintable(told));
        QCOMPARE(QDir(safety).entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.FDB", "SYS.FDB", "settings.xml"}));
        {
            Databases replaced;
            replaced.open(safety + "/DATA.FDB", safety + "/SYS.FDB");
            QCOMPARE(replaced.MM.QueryText("CNAM", "CONT", "CD=503"),
                     QStringLiteral("Newer Contact"));
            QCOMPARE(replaced.SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 2);
        }
        QCOMPARE(db.MM.QueryCount("", "CONT"), 2);
        QCOMPARE(db.MM.QueryText("CNAM", "CONT", "CD=501"), QStringLiteral("Indus Traders"));
        QCOMPARE(db.SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
        QVERIFY(QDir(m_tmp->root() + "/DATA").entryList(QDir::Files, QDir::Name) ==
                QStringList({"DATA.FDB", "SYS.FDB"}));
        // The connections work: a new contact is written and kept.
        addContact(504, "After Restore");
        QCOMPARE(db.MM.QueryCount("", "CONT"), 3);

        // The personal page is set up afresh from the restored data and settings.
        QTest::mouseClick(m_tmf->GB0, Qt::LeftButton);
        QCOMPARE(names(), QStringList({"After Restore", "Bolan Mills", "Indus Traders"}));
        QCOMPARE(m_tmf->page(0)->findChild<QLineEdit*>("SRB")->text(), QStringLiteral("before"));
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        QCOMPARE(m_tmf->settings().ReadText("USRINF\\USR", {}), QStringLiteral("Typed Now"));

        // Nothing changed after the restore is saved: the restored file survives the end.
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        m_page->USR->setFocus();
        QTest::keyClicks(m_page->USR, "Changed later");
        m_tmf->settings().WriteText("PD\\SRB", "after");
        m_tmf->exitProgram();
        m_tmf.reset();
        QCOMPARE(bytesOf(m_tmp->binDir() + "/settings.xml"), savedSettings);
    }

    // A set that fails any check changes nothing: databases, settings file and store stay as
    // they were, nothing is kept aside, the personal page is not reset.
    void restoreFailuresKeepTheCurrentData() {
        Databases& db = m_tmf->databases();
        addContact(601, "Current One");
        const QString good = m_tmp->root() + "/good";
        m_page->BAK->setText(good);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        addContact(602, "Current Two");
        m_tmf->settings().WriteText("USRINF\\USR", "Current User");
        QVERIFY(m_tmf->settings().Flush());
        const QByteArray liveSettings = bytesOf(m_tmp->binDir() + "/settings.xml");
        const int contacts = db.MM.QueryCount("", "CONT");
        QTest::mouseClick(m_tmf->GB0, Qt::LeftButton);
        QCOMPARE(m_tmf->page(0)->tag(), 1);
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);

        const auto expectNothingChanged = [&](const char* what) {
            QVERIFY2(!m_tmf->settings().ReadOnly(), what);
            QCOMPARE(m_tmf->settings().ReadText("USRINF\\USR", {}), QStringLiteral("Current User"));
            QCOMPARE(bytesOf(m_tmp->binDir() + "/settings.xml"), liveSettings);
            QCOMPARE(QDir(m_tmp->binDir()).entryList({"settings.xml*"}, QDir::Files),
                     QStringList({"settings.xml"}));
            QCOMPARE(db.MM.QueryCount("", "CONT"), contacts);
            QCOMPARE(QDir(m_tmp->root() + "/DATA")
                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                     QStringList({"DATA.FDB", "SYS.FDB"}));
            QCOMPARE(m_tmf->page(0)->tag(), 1);
            // The connection still writes.
            addContact(699, "Still Writable");
            db.MM.ExecStatement("delete from cont where cd=699");
            db.DTR.CommitRetaining();
        };
        const auto makeSet = [&](const QString& name, const QStringList& files) {
            const QString folder = m_tmp->root() + u'/' + name;
            QDir().mkpath(folder);
            for (const QString& file : files)
                QFile::copy(good + u'/' + file, folder + u'/' + file);
            return folder;
        };

        // Refused before the question: a backup file missing, a settings file the store cannot
        // read (garbage, a cut file) beside good backup files.
        for (const QString& folder : {makeSet("only-settings", {"settings.xml"}),
                                      makeSet("no-sys", {"DATA.fbk", "settings.xml"})}) {
            expectRestoreFailure(folder, false);
            expectNothingChanged(qPrintable(folder));
        }
        const QByteArray goodSettings = bytesOf(good + "/settings.xml");
        for (const QByteArray& content :
             {QByteArray("garbage \x01\x02 not xml"), goodSettings.left(goodSettings.size() / 2)}) {
            const QString folder = makeSet("bad-settings", {"DATA.fbk", "SYS.fbk"});
            writeFile(folder + "/settings.xml", content);
            expectRestoreFailure(folder, false);
            expectNothingChanged("bad settings");
        }

        // Refused after the question: backup files the service cannot restore in full, and
        // backups of databases this program cannot use.
        const QByteArray real = bytesOf(good + "/DATA.fbk");
        for (const QByteArray& content :
             {real.left(real.size() / 2), QByteArray(9000, '\x7f'), bytesOf(good + "/SYS.fbk")}) {
            const QString folder = makeSet("damaged", {"SYS.fbk", "settings.xml"});
            writeFile(folder + "/DATA.fbk", content);
            expectRestoreFailure(folder, true);
            expectNothingChanged("damaged DATA.fbk");
        }
        const QString foreign = makeSet("foreign", {"DATA.fbk", "settings.xml"});
        backUpForeignDatabase(foreign + "/SYS.fbk");
        expectRestoreFailure(foreign, true);
        expectNothingChanged("foreign SYS.fbk");
    }

    // Each restore keeps what it replaced; the newest three are kept.
    void safetyCopiesOfTheLastThreeRestores() {
        const QString folder = m_tmp->root() + "/set";
        m_page->BAK->setText(folder);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        m_page->RES->setText(folder);
        QStringList kept;
        for (int run = 0; run < 4; ++run) {
            Prompt::setNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(m_page->SRES, Qt::LeftButton);
            QVERIFY(BalloonPresenter::instance()->text().startsWith("Restore Complete"));
            kept << QFileInfo(m_page->backupRestore().safetyFolder()).fileName();
        }
        QCOMPARE(QDir(m_tmp->root() + "/DATA/before-restore")
                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 kept.mid(1));
    }

    // A folder that cannot be made fails the run; the next one into a good folder succeeds.
    void backupFailures() {
        QFile blocker(m_tmp->root() + "/plain-file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_page->BAK->setText(blocker.fileName() + "/TessaroBackup");
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->header(), QStringLiteral("ERROR"));
        QCOMPARE(BalloonPresenter::instance()->text(),
                 QStringLiteral("Backup Failed. Check Folder."));

        const QString folder = m_tmp->root() + "/TessaroBackup";
        m_page->BAK->setText(folder);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.fbk", "SYS.fbk", "settings.xml"}));
    }

    // A backup that meets a full disk leaves the last set whole (never new settings beside old
    // backup files) and nothing of its own.
    void backupOnAFullDisk() {
        const QString disk = m_tmp->root() + "/small-disk";
        QVERIFY(QDir().mkpath(disk));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16m", "tmpfs", disk}) != 0)
            QSKIP("no tmpfs can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        const QString folder = disk + "/TessaroBackup";
        m_page->BAK->setText(folder);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        const QByteArray oldData = bytesOf(folder + "/DATA.fbk");
        const QByteArray oldSettings = bytesOf(folder + "/settings.xml");
        QVERIFY(oldData.size() > 10000);
        // The disk keeps room for the settings file and part of one backup file only.
        const qint64 free = QStorageInfo(disk).bytesAvailable();
        writeFile(disk + "/filler", QByteArray(free - oldData.size() / 2, 'x'));
        m_tmf->settings().WriteText("USRINF\\USR", "Newer Settings");
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(),
                 QStringLiteral("Backup Failed. Check Folder."));
        QCOMPARE(bytesOf(folder + "/DATA.fbk"), oldData);
        QCOMPARE(bytesOf(folder + "/settings.xml"), oldSettings);
        QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                      QDir::Name),
                 QStringList({"TessaroBackup", "filler"}));
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.fbk", "SYS.fbk", "settings.xml"}));
    }

private:
    void addContact(int cd, const QString& name) {
        Databases& db = m_tmf->databases();
        db.MM.ExecStatement(QStringLiteral("insert into cont (cd, ctcd, cnam) values (%1, 1, '%2')")
                                .arg(cd)
                                .arg(name));
        db.DTR.CommitRetaining();
    }
    QStringList names() const {
        auto* personal = static_cast<TPDIR_FRM*>(m_tmf->page(0));
        QStringList list;
        for (int i = 0; i < personal->contactModel()->rowCount(); ++i)
            list << personal->contactModel()->row(i).CNAM;
        return list;
    }
    // A restore from the folder fails; `asked` says whether the question came first.
    void expectRestoreFailure(const QString& folder, bool asked) {
        m_page->RES->setText(folder);
        // A question answered here leaves a last text naming no folder.
        Prompt::setNextAnswer(QMessageBox::Yes);
        QVERIFY(Prompt::confirm(nullptr, QStringLiteral("-")));
        Prompt::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        QCOMPARE(Prompt::lastText().contains(folder), asked);
        if (!asked) // the answer queued was not used: use it up
            QVERIFY(Prompt::confirm(nullptr, QStringLiteral("-")));
        QCOMPARE(BalloonPresenter::instance()->header(), QStringLiteral("ERROR"));
        QCOMPARE(BalloonPresenter::instance()->text(),
                 QStringLiteral("Restore Failed. Check Folder."));
    }

    static void writeFile(const QString& path, const QByteArray& content) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(content), content.size());
    }
    // The backup of a database that is not one of the program's (its own table, UTF8).
    void backUpForeignDatabase(const QString& backupFile) {
        const QString path = m_tmp->root() + "/other.fdb";
        {
            Connection connection;
            Transaction transaction(connection);
            ScriptRunner runner(transaction);
            runner.RunScript(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'x' "
                                            "DEFAULT CHARACTER SET UTF8;"
                                            "CREATE TABLE LEDGER (ID INTEGER);")
                                 .arg(path));
            transaction.commit();
        }
        ServiceJob(ServiceJob::Action::Backup, path, backupFile).run([](const QString&) {});
    }

    QString m_home;
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<TMF> m_tmf;
    TSETT_FRM* m_page = nullptr;
};

int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    BackupRestoreTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backuprestore.moc"
