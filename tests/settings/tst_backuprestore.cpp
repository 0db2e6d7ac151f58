// Backup and restore from the settings page of the running main window, through the embedded
// engine's services manager: the folders chosen, the bars, the balloons, the files left in the
// folder, the data and settings brought back, and the current data kept safe from bad sets.
#include "TempDatabase.h"
#include "app/BalloonPresenter.h"
#include "app/PictureButton.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "personal/ContactListModel.h"
#include "personal/TPDIR_FRM.h"
#include "settings/FolderBrowser.h"
#include "settings/TSETT_FRM.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
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
        m_tmf->settings().WriteText("PD\\SRB", "before");
        const QString folder = m_tmp->root() + QStringLiteral("/Sicherung 备份/TessaroBackup");
        QVERIFY(QDir().mkpath(folder));
        QFile notes(folder + "/notes.txt");
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("mine") == 4);
        notes.close();
        m_page->BAK->setText(folder);
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
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Restore Complete"));
        QCOMPARE(m_page->RPRG->value(), 100);
        QCOMPARE(db.MM.QueryCount("", "CONT"), 2);
        QCOMPARE(db.MM.QueryText("CNAM", "CONT", "CD=501"), QStringLiteral("Indus Traders"));
        QCOMPARE(db.SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
        QVERIFY(QDir(m_tmp->root() + "/DATA").entryList(QDir::Files) ==
                QStringList({"DATA.FDB", "SYS.FDB"}));
        // The connections work: a new contact is written and kept.
        addContact(504, "After Restore");
        QCOMPARE(db.MM.QueryCount("", "CONT"), 3);

        // The personal page is set up afresh from the restored data and settings.
        QTest::mouseClick(m_tmf->GB0, Qt::LeftButton);
        QCOMPARE(names(), QStringList({"After Restore", "Bolan Mills", "Indus Traders"}));
        QCOMPARE(m_tmf->page(0)->findChild<QLineEdit*>("SRB")->text(), QStringLiteral("before"));

        // Nothing changed after the restore is saved: the restored file survives the end.
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        m_page->USR->setFocus();
        QTest::keyClicks(m_page->USR, "Changed later");
        m_tmf->settings().WriteText("PD\\SRB", "after");
        m_tmf->exitProgram();
        m_tmf.reset();
        QCOMPARE(bytesOf(m_tmp->binDir() + "/settings.xml"), savedSettings);
    }

    void restoreFailuresKeepTheCurrentData() {
        Databases& db = m_tmf->databases();
        addContact(601, "Current One");
        const QString good = m_tmp->root() + "/good";
        m_page->BAK->setText(good);
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(), QStringLiteral("Backup Complete"));
        addContact(602, "Current Two");

        // No DATA.fbk at all, only the settings: the settings come back, the data stays.
        const QString onlySettings = m_tmp->root() + "/only-settings";
        QVERIFY(QDir().mkpath(onlySettings));
        {
            SettingsStore other(onlySettings + "/settings.xml");
            other.WriteText("USRINF\\USR", "From The Set");
        }
        expectRestoreFailure(onlySettings);
        QVERIFY(m_tmf->settings().ReadOnly());
        QCOMPARE(m_tmf->settings().ReadText("USRINF\\USR", {}), QStringLiteral("From The Set"));
        QCOMPARE(db.MM.QueryCount("", "CONT"), 2);

        // A truncated DATA.fbk and a garbage one: nothing replaced, the connection works.
        const QString damaged = m_tmp->root() + "/damaged";
        QVERIFY(QDir().mkpath(damaged));
        const QByteArray real = bytesOf(good + "/DATA.fbk");
        for (const QByteArray& content : {real.left(real.size() / 2), QByteArray(9000, '\x7f')}) {
            QFile f(damaged + "/DATA.fbk");
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
            f.close();
            QVERIFY(QFile::copy(good + "/SYS.fbk", damaged + "/SYS.fbk") ||
                    QFile::exists(damaged + "/SYS.fbk"));
            expectRestoreFailure(damaged);
            QCOMPARE(db.MM.QueryCount("", "CONT"), 2);
            addContact(700 + content.size() % 97, "Still Writable");
            db.MM.ExecStatement("delete from cont where cnam='Still Writable'");
            db.DTR.CommitRetaining();
        }

        // DATA.fbk but no SYS.fbk: the data comes back, the run still fails.
        const QString noSys = m_tmp->root() + "/no-sys";
        QVERIFY(QDir().mkpath(noSys));
        QVERIFY(QFile::copy(good + "/DATA.fbk", noSys + "/DATA.fbk"));
        expectRestoreFailure(noSys);
        QCOMPARE(db.MM.QueryCount("", "CONT"), 1);
        QCOMPARE(db.SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
        QCOMPARE(m_tmf->page(0)->tag(), 0);
        QVERIFY(QDir(m_tmp->root() + "/DATA").entryList(QDir::Files) ==
                QStringList({"DATA.FDB", "SYS.FDB"}));
    }

    // A folder that cannot be made, and a backup file that cannot be written: the run fails
    // and the last complete backup files stay as they were.
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
        const QByteArray oldSys = bytesOf(folder + "/SYS.fbk");
        QVERIFY(QDir().mkpath(folder + "/SYS.fbk.part/blocked"));
        QTest::mouseClick(m_page->SBAK, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->text(),
                 QStringLiteral("Backup Failed. Check Folder."));
        QCOMPARE(bytesOf(folder + "/SYS.fbk"), oldSys);
        QVERIFY(QFileInfo(folder + "/DATA.fbk").size() > 10000);
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
    void expectRestoreFailure(const QString& folder) {
        m_page->RES->setText(folder);
        QTest::mouseClick(m_page->SRES, Qt::LeftButton);
        QCOMPARE(BalloonPresenter::instance()->header(), QStringLiteral("ERROR"));
        QCOMPARE(BalloonPresenter::instance()->text(),
                 QStringLiteral("Restore Failed. Check Folder."));
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
