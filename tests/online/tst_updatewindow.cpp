// The installer window as the user sees it at start-up: shown at its design size, the step
// and the bar moving while it works, closing itself with the outcome; and the start-up
// decisions around it for a set that fails and an update that is never confirmed.
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "app/TkApplication.h"
#include "online/Tche_upd_frm.h"
#include "online/UpdateInstaller.h"
#include "online/UpdateQueue.h"
#include "online/UpdateStartup.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class UpdateWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsProgressAtItsSizeAndCloses() {
        OpenTempDatabase db;
        UpdateSetFixture set;
        set.addFile("bin/data.bin", UpdateSetFixture::noise(1200000));
        QCOMPARE(set.build("512k"), 0);
        set.placeDownloaded(db.db, db.files.root() + "/temp");

        Tche_upd_frm window(db.db, db.files.binDir());
        struct Seen {
            bool visible;
            QSize size;
            QString caption;
            int bar;
        };
        QList<Seen> seen;
        connect(&window.installer(), &UpdateInstaller::progressChanged, &window, [&] {
            seen.append(
                {window.isVisible(), window.size(), window.LB->text(), window.PRG->value()});
        });
        window.exec();
        QCOMPARE(window.tag(), Tche_upd_frm::InstalledTag);
        QVERIFY(!window.isVisible());
        QVERIFY(seen.size() > 4);
        for (const Seen& s : seen) {
            QVERIFY(s.visible);
            QCOMPARE(s.size, QSize(518, 87));
        }
        // The user sees the extraction climb, then the data step.
        QVERIFY(std::any_of(seen.begin(), seen.end(), [](const Seen& s) {
            return s.caption == "Extracting Files..." && s.bar > 0 && s.bar < 100;
        }));
        QCOMPARE(seen.last().caption, QString("Updating Data"));
        QCOMPARE(window.PRG->value(), 100);
        QCOMPARE(window.PRG->text(), QString("100%"));
    }

    void failureClosesWithoutTheTag() {
        OpenTempDatabase db;
        db.db.SYS_MM.ExecStatement("update hvx set com=2 where id=4");
        Tche_upd_frm window(db.db, db.files.binDir());
        window.exec();
        QVERIFY(window.tag() != Tche_upd_frm::InstalledTag);
        QVERIFY(!window.isVisible());
        QCOMPARE(db.db.SYS_MM.QueryText("COM", "HVX", "ID=4"), QString("2"));
    }

    // A set that cannot be installed is tried at two starts, then set aside: the program
    // starts normally from then on and a new set can be taken.
    void failingSetIsSetAsideAtTheSecondStart() {
        OpenTempDatabase db;
        UpdateQueue queue(db.db.SYS_MM, temp(db));
        QDir().mkpath(db.files.root() + "/templates");
        UpdateSetFixture set;
        set.addFile("templates", "a file where the folder is");
        QCOMPARE(set.build(), 0);
        set.placeDownloaded(db.db, temp(db));

        QVERIFY(!UpdateStartup::run(db.db, UpdateQueue::Downloaded, db.files.binDir()));
        QCOMPARE(queue.stateText(), QString("2"));
        QVERIFY(QFileInfo::exists(temp(db) + "/file.zup.001"));
        QVERIFY(!UpdateStartup::run(db.db, UpdateQueue::Downloaded, db.files.binDir()));
        QCOMPARE(queue.stateText(), QString("0"));
        QVERIFY(!QFileInfo::exists(temp(db) + "/file.zup.001"));
        QVERIFY(!QFileInfo::exists(temp(db) + "/file"));
        QCOMPARE(queue.storedFingerprint(), QString::fromLatin1(set.fingerprint()));

        // A new set counts its own attempts.
        QCOMPARE(queue.acceptPartList({{1, QString(32, u'a')}}, "second set", QString()), 1);
        QCOMPARE(queue.countInstallAttempt(), 1);
    }

    // An update the updater does not confirm is handed over once more, then given up with
    // one message naming the updater's log.
    void unconfirmedUpdateIsGivenUpAtTheSecondStart() {
        OpenTempDatabase db;
        QStringList shown;
        TkApplication::setErrorObserver([&shown](const QString& text) { shown << text; });
        UpdateQueue queue(db.db.SYS_MM, temp(db));
        queue.setState(UpdateQueue::Installed);
        QDir().mkpath(temp(db) + "/file/bin");
        QFile(temp(db) + "/file.zup.001").open(QIODevice::WriteOnly);

        QVERIFY(UpdateStartup::run(db.db, UpdateQueue::Installed, db.files.binDir()));
        QCOMPARE(queue.stateText(), QString("3"));
        QVERIFY(shown.isEmpty());
        QVERIFY(!UpdateStartup::run(db.db, UpdateQueue::Installed, db.files.binDir()));
        TkApplication::setErrorObserver({});
        QCOMPARE(queue.stateText(), QString("0"));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(QDir::cleanPath(temp(db) + "/replica.log")),
                 qPrintable(shown.first()));
        QVERIFY(!QFileInfo::exists(temp(db) + "/file"));
        QVERIFY(!QFileInfo::exists(temp(db) + "/file.zup.001"));
    }

    // The confirmation removes the downloaded parts and the unpacked update.
    void confirmationRemovesTheDownloadedParts() {
        OpenTempDatabase db;
        UpdateQueue queue(db.db.SYS_MM, temp(db));
        queue.setState(UpdateQueue::Installed);
        QDir().mkpath(temp(db) + "/file/bin");
        for (const char* name : {"file.zup.001", "file.zup.002", "replica.ok", "other.txt"})
            QFile(temp(db) + "/" + name).open(QIODevice::WriteOnly);
        QVERIFY(!UpdateStartup::run(db.db, UpdateQueue::Installed, db.files.binDir()));
        QCOMPARE(queue.stateText(), QString("0"));
        QCOMPARE(QDir(temp(db)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"other.txt"});
    }

private:
    static QString temp(const OpenTempDatabase& db) { return db.files.root() + "/temp"; }
};

QTEST_MAIN(UpdateWindowTest)
#include "tst_updatewindow.moc"
