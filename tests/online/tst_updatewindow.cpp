// The installer window as the user sees it at start-up: shown at its design size, the step
// and the bar moving while it works, closing itself with the outcome.
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "online/Tche_upd_frm.h"
#include "online/UpdateInstaller.h"

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
};

QTEST_MAIN(UpdateWindowTest)
#include "tst_updatewindow.moc"
