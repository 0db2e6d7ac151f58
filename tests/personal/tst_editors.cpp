// The folder and contact editors on a real database: create-next loops, updates written back,
// the NULL rules, carried columns, text rules, limits, failures and the proportional layout.
#include "PersonalFixture.h"
#include "app/BalloonPresenter.h"
#include "app/SettingsStore.h"
#include "app/SilentAbort.h"
#include "personal/TC_EDT_FRM.h"
#include "personal/TPC_EDT_FRM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class EditorsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PersonalFixture> f;
    std::unique_ptr<SettingsStore> settings;

    template <typename T> static T* child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    static QString balloon() { return BalloonPresenter::instance()->text(); }
    QString cont(const char* column, int cd) {
        return f->text(QString::fromLatin1(column), "CONT", QStringLiteral("CD=%1").arg(cd));
    }
    bool contIsNull(const char* column, int cd) {
        return f->count("CONT", QStringLiteral("CD=%1 AND %2 IS NULL").arg(cd).arg(column)) == 1;
    }

private slots:
    void init() {
        f = std::make_unique<PersonalFixture>();
        settings = std::make_unique<SettingsStore>(f->settingsPath());
    }
    void cleanup() {
        settings.reset();
        f.reset();
    }

    // ---- folder editor

    void folderCreateNextUnderOneParent() {
        const int parent = f->addFolder(0, "Clients");
        TC_EDT_FRM editor(f->db().DTR);
        editor.setMode(1);
        editor.ParentId = parent;
        editor.ParentPath = "Clients";
        editor.prepare();
        editor.show();
        QCOMPARE(child<QLineEdit>(&editor, "PRT")->text(), QStringLiteral("Clients"));
        QCOMPARE(child<QWidget>(&editor, "HDG")->property("text").toString(),
                 QStringLiteral("Create Folder"));
        QCOMPARE(child<QPushButton>(&editor, "SAV")->text(), QStringLiteral("&Create"));
        auto* title = child<QLineEdit>(&editor, "TITLE");
        for (const char* t : {"North", "South", "East"}) {
            title->setText(QString::fromLatin1(t));
            editor.SAVClick();
            QCOMPARE(balloon(), QStringLiteral("Create Successful, Create Next"));
            QVERIFY(editor.isVisible());
            QVERIFY(title->text().isEmpty());
        }
        QCOMPARE(f->count("CATE", QStringLiteral("PCD=%1").arg(parent)), 3);
        QCOMPARE(f->db().MM.QueryCount("DISTINCT CD", "CATE", QStringLiteral("PCD=%1").arg(parent)),
                 3);
        editor.EXTClick();
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
    }

    void folderTopLevelButtonInCreateMode() {
        const int parent = f->addFolder(0, "Clients");
        TC_EDT_FRM editor(f->db().DTR);
        editor.setMode(1);
        editor.ParentId = parent;
        editor.ParentPath = "Clients";
        editor.prepare();
        editor.PRTButtonClick();
        QVERIFY(child<QLineEdit>(&editor, "PRT")->text().isEmpty());
        child<QLineEdit>(&editor, "TITLE")->setText("Top");
        editor.SAVClick();
        child<QLineEdit>(&editor, "TITLE")->setText("Under");
        editor.SAVClick();
        QCOMPARE(f->text("PCD", "CATE", "TITLE='Top'"), QStringLiteral("0"));
        QCOMPARE(f->text("PCD", "CATE", "TITLE='Under'"), QString::number(parent));
    }

    void folderUpdateWritesBackAndClosesTopLevel() {
        const int parent = f->addFolder(0, "Clients");
        const int folder = f->addFolder(parent, "North", "old note");
        TC_EDT_FRM editor(f->db().DTR);
        QSignalSpy updated(&editor, &TC_EDT_FRM::folderUpdated);
        editor.setMode(2);
        editor.EditFolderId = folder;
        editor.ParentId = parent;
        editor.ParentPath = "Clients";
        editor.prepare();
        editor.show();
        QCOMPARE(child<QLineEdit>(&editor, "TITLE")->text(), QStringLiteral("North"));
        QCOMPARE(child<QPlainTextEdit>(&editor, "COM")->toPlainText(), QStringLiteral("old note"));
        editor.PRTButtonClick();
        child<QLineEdit>(&editor, "TITLE")->setText("North Zone");
        editor.SAVClick();
        QCOMPARE(updated.size(), 1);
        const FolderRow row = updated.first().first().value<FolderRow>();
        QCOMPARE(row.CD, folder);
        QCOMPARE(row.TITLE, QStringLiteral("North Zone"));
        QCOMPARE(row.COM, QStringLiteral("old note"));
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(folder)), QStringLiteral("0"));
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(!editor.isVisible());
        QVERIFY(!editor.CDT().isOpen());
    }

    void folderTitleRules() {
        TC_EDT_FRM editor(f->db().DTR);
        editor.setMode(1);
        editor.prepare();
        editor.show();
        auto* title = child<QLineEdit>(&editor, "TITLE");
        title->setText(QString(130, QChar(0x06C1)));
        QCOMPARE(title->text(), QString(120, QChar(0x06C1)));
        title->clear();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, editor.SAVClick());
        QCOMPARE(balloon(), QStringLiteral("Null Value Not Allowed"));
        QCOMPARE(f->count("CATE"), 1);
        QTest::keyClicks(title, "a\\b");
        QCOMPARE(title->text(), QStringLiteral("ab"));
        title->setText("x\\y\\z"); // pasted
        QCOMPARE(title->text(), QStringLiteral("xyz"));
        title->setText("O'Brien % _ 1");
        child<QPlainTextEdit>(&editor, "COM")->setPlainText(QString(3000, u'c'));
        QCOMPARE(child<QPlainTextEdit>(&editor, "COM")->toPlainText().size(), 2000);
        editor.SAVClick();
        QCOMPARE(f->count("CATE", "TITLE='O''Brien % _ 1'"), 1);
        QCOMPARE(f->text("CHAR_LENGTH(COM)", "CATE", "TITLE='O''Brien % _ 1'"),
                 QStringLiteral("2000"));
    }

    void folderLayoutAndEnter() {
        TC_EDT_FRM editor(f->db().DTR);
        editor.setMode(1);
        editor.prepare();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto* title = child<QLineEdit>(&editor, "TITLE");
        auto* com = child<QPlainTextEdit>(&editor, "COM");
        const QRect before = title->geometry(), memo = com->geometry();
        editor.resize(1280, 464); // twice the designed height
        QCOMPARE(title->y(), before.y() * 2);
        QCOMPARE(title->x(), before.x());
        QCOMPARE(title->width(), before.width());
        QCOMPARE(com->height(), memo.height() * 2);
        editor.resize(1000, 232);
        QCOMPARE(title->geometry(), before); // no drift from repeated resizes
        auto* sav = child<QPushButton>(&editor, "SAV");
        QCOMPARE(sav->geometry().bottom(), 232 - 42 + 27);
        editor.activateWindow();
        title->setFocus();
        QTest::keyClick(title, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(com));
    }

    // ---- contact editor

    void contactCreateNextAndNullRules() {
        const int folder = f->addFolder(0, "Clients");
        settings->WriteText(TPC_EDT_FRM::CityKey, "35"); // Lahore
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        editor.setMode(1);
        editor.FolderId = folder;
        editor.FolderPath = "Clients";
        editor.prepare();
        editor.show();
        QCOMPARE(child<QLineEdit>(&editor, "PRT")->text(), QStringLiteral("Clients"));
        QCOMPARE(child<QWidget>(&editor, "HDG")->property("text").toString(),
                 QStringLiteral("Create Contact"));
        auto* title = editor.textField("CNAM");
        QTest::keyClicks(title, "ali traders");
        QCOMPARE(title->text(), QStringLiteral("ALI TRADERS"));
        editor.textField("PHN")->setText("042-111, 042-222");
        editor.SAVClick();
        QCOMPARE(balloon(), QStringLiteral("Create Successful, Create Next"));
        const int first = f->db().MM.QueryInteger("MAX(CD)", "CONT");
        QCOMPARE(cont("CTCD", first), QString::number(folder));
        QCOMPARE(cont("PCD", first), QString::number(folder));
        QCOMPARE(cont("CNAM", first), QStringLiteral("ALI TRADERS"));
        QVERIFY(contIsNull("CCD", first)); // city box never visited
        QVERIFY(contIsNull("HOT", first)); // hot box never touched
        QVERIFY(contIsNull("FAX", first));
        QVERIFY(cont("WRD", first).contains("042-222"));
        QCOMPARE(f->db().MM.QueryInteger("GEN_ID(GEN_CONT, 0)", "RDB$DATABASE"), first);
        // The form is empty for the next contact.
        QVERIFY(title->text().isEmpty());
        QVERIFY(editor.textField("PHN")->text().isEmpty());
        auto* city = child<QComboBox>(&editor, "CCD");
        QCOMPARE(city->currentIndex(), -1);
        // Entering the city box proposes the city saved last.
        editor.CCDEnter();
        QCOMPARE(city->currentText(), QStringLiteral("Lahore"));
        auto* hot = child<QCheckBox>(&editor, "HI");
        hot->click();
        hot->click();
        title->setText("Second");
        editor.SAVClick();
        const int second = f->db().MM.QueryInteger("MAX(CD)", "CONT");
        QVERIFY(second != first);
        QCOMPARE(cont("CTCD", second), QString::number(folder));
        QVERIFY(contIsNull("PCD", second)); // only the first prepared row gets the folder
        QCOMPARE(cont("CCD", second), QStringLiteral("35"));
        QCOMPARE(cont("HOT", second), QStringLiteral("0"));
        QCOMPARE(settings->ReadText(TPC_EDT_FRM::CityKey, ""), QStringLiteral("35"));
    }

    void contactCityRememberedAndUnknownCityIgnored() {
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        editor.setMode(1);
        editor.FolderId = 1;
        editor.FolderPath = "All Contacts";
        editor.prepare();
        QVERIFY(child<QLineEdit>(&editor, "PRT")->text().isEmpty()); // folder 1: no path
        auto* city = child<QComboBox>(&editor, "CCD");
        editor.CCDEnter(); // nothing stored
        QCOMPARE(city->currentIndex(), -1);
        settings->WriteText(TPC_EDT_FRM::CityKey, "99999");
        editor.CCDEnter();
        QCOMPARE(city->currentIndex(), -1);
        city->setCurrentIndex(city->findText("Karachi"));
        editor.textField("CNAM")->setText("K");
        editor.SAVClick();
        QCOMPARE(settings->ReadText(TPC_EDT_FRM::CityKey, ""), QStringLiteral("28"));
        editor.EXTClick();
        editor.FolderId = 0;
        editor.prepare();
        QVERIFY(child<QLineEdit>(&editor, "PRT")->text().isEmpty());
    }

    void contactUpdateKeepsCarriedColumns() {
        const int folder = f->addFolder(0, "Clients");
        const int other = f->addFolder(0, "Other");
        const int cd = f->addContact(
            folder, "OLD NAME", {{"PHN", "111"}, {"SLG", "slogan"}, {"HOT", "1"}, {"CCD", "28"}});
        f->db().MM.ExecStatement(QStringLiteral("UPDATE CONT SET RTP=3, ORD=9, CT='2024-01-02 "
                                                "03:04:05', LU='2024-02-03 04:05:06', PCD=%1 "
                                                "WHERE CD=%2")
                                     .arg(other)
                                     .arg(cd));
        f->db().DTR.CommitRetaining();
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        QSignalSpy updated(&editor, &TPC_EDT_FRM::contactUpdated);
        editor.setMode(2);
        editor.FolderId = folder;
        editor.FolderPath = "Clients";
        editor.ContactId = cd;
        editor.prepare();
        editor.show();
        QCOMPARE(child<QWidget>(&editor, "HDG")->property("text").toString(),
                 QStringLiteral("Update Contact"));
        QCOMPARE(editor.textField("CNAM")->text(), QStringLiteral("OLD NAME"));
        QCOMPARE(child<QComboBox>(&editor, "CCD")->currentText(), QStringLiteral("Karachi"));
        QVERIFY(child<QCheckBox>(&editor, "HI")->isChecked());
        editor.textField("CNAM")->setText("NEW NAME");
        editor.textField("EML")->setText("info@new.pk");
        editor.SAVClick();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(updated.size(), 1);
        const ContactRow row = updated.first().first().value<ContactRow>();
        QCOMPARE(row.CD, cd);
        QCOMPARE(row.CNAM, QStringLiteral("NEW NAME"));
        QCOMPARE(row.EML, QStringLiteral("info@new.pk"));
        QCOMPARE(row.CCD, 28);
        QCOMPARE(cont("CTCD", cd), QString::number(folder));
        QCOMPARE(cont("PCD", cd), QString::number(folder));
        QCOMPARE(cont("SLG", cd), QStringLiteral("slogan"));
        QCOMPARE(cont("HOT", cd), QStringLiteral("1"));
        QCOMPARE(cont("RTP", cd), QStringLiteral("3"));
        QCOMPARE(cont("ORD", cd), QStringLiteral("9"));
        QCOMPARE(
            f->text("CAST(CT AS VARCHAR(30))", "CONT", QStringLiteral("CD=%1").arg(cd)).left(19),
            QStringLiteral("2024-01-02 03:04:05"));
        QCOMPARE(
            f->text("CAST(LU AS VARCHAR(30))", "CONT", QStringLiteral("CD=%1").arg(cd)).left(19),
            QStringLiteral("2024-02-03 04:05:06"));
        QCOMPARE(cont("PHN", cd), QStringLiteral("111"));
    }

    void contactTextRulesAndLimits() {
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        editor.setMode(1);
        editor.FolderId = 1;
        editor.prepare();
        editor.show();
        // Limits are the column sizes in characters: an emoji counts once and is never split.
        editor.textField("ZCD")->setText(QString(30, u'9'));
        QCOMPARE(editor.textField("ZCD")->text(), QString(20, u'9'));
        const QString emoji = QStringLiteral("\U0001F600");
        editor.textField("ZCD")->insert(emoji); // typed into a full box: nothing goes in
        QCOMPARE(editor.textField("ZCD")->text(), QString(20, u'9'));
        editor.textField("ZCD")->setText(QString(19, u'9') + emoji + emoji);
        QCOMPARE(editor.textField("ZCD")->text(), QString(19, u'9') + emoji);
        editor.textField("UAN")->setText(emoji.repeated(150));
        QCOMPARE(editor.textField("UAN")->text(), emoji.repeated(100));
        QTest::keyClicks(editor.textField("PHN"), "04\\2");
        QCOMPARE(editor.textField("PHN")->text(), QStringLiteral("042"));
        editor.textField("ADR")->setText("Plot 5\\B"); // pasted into another field: stays
        QCOMPARE(editor.textField("ADR")->text(), QStringLiteral("Plot 5\\B"));
        editor.textField("CNAM")->setText(QString::fromLatin1("caf\xE9 \\ 50% o'neil_"));
        QCOMPARE(editor.textField("CNAM")->text(), QString::fromLatin1("CAF\xC9  50% O'NEIL_"));
        // Titles of every script: capitals where the script has them, 200 Urdu letters fit.
        editor.textField("CNAM")->setText(QStringLiteral("straße жук ") +
                                          QString(250, QChar(0x06C1)));
        QCOMPARE(editor.textField("CNAM")->text(),
                 QStringLiteral("STRAßE ЖУК ") + QString(189, QChar(0x06C1)));
        editor.textField("CNAM")->setText(QString::fromLatin1("caf\xE9 \\ 50% o'neil_"));
        child<QPlainTextEdit>(&editor, "BDS")->setPlainText(QString(2500, u'd'));
        QCOMPARE(child<QPlainTextEdit>(&editor, "BDS")->toPlainText().size(), 2000);
        editor.textField("WEB")->setText(QString(1000, u'w')); // cut at the column's width
        QCOMPARE(editor.textField("WEB")->text().size(), 250);
        editor.SAVClick();
        const int cd = f->db().MM.QueryInteger("MAX(CD)", "CONT");
        QCOMPARE(cont("CNAM", cd), QString::fromLatin1("CAF\xC9  50% O'NEIL_"));
        QCOMPARE(cont("ADR", cd), QStringLiteral("Plot 5\\B"));
        QCOMPARE(cont("BDS", cd).size(), 2000);
        QCOMPARE(cont("UAN", cd), emoji.repeated(100));
        // Empty title: nothing written.
        QVERIFY_THROWS_EXCEPTION(SilentAbort, editor.SAVClick());
        QCOMPARE(balloon(), QStringLiteral("Null Value Not Allowed"));
        QCOMPARE(f->count("CONT"), 1);
    }

    void contactSaveFailureKeepsTheInput() {
        const int cd = f->addContact(1, "LOCKED");
        // A second connection holds the row: the editor's update meets a lock conflict.
        Databases other;
        other.open(f->root() + "/DATA/DATA.FDB", f->root() + "/DATA/SYS.FDB");
        other.MM.ExecStatement(QStringLiteral("UPDATE CONT SET PHN='x' WHERE CD=%1").arg(cd));
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        editor.setMode(2);
        editor.FolderId = 1;
        editor.ContactId = cd;
        editor.prepare();
        editor.show();
        editor.textField("CNAM")->setText("CHANGED");
        editor.SAVClick();
        QCOMPARE(balloon(), QStringLiteral("Operation Failed"));
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.textField("CNAM")->text(), QStringLiteral("CHANGED"));
        other.DTR.rollback();
        editor.SAVClick();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(cont("CNAM", cd), QStringLiteral("CHANGED"));
    }

    void contactLayoutAndTabOrder() {
        TPC_EDT_FRM editor(f->db().DTR, *settings);
        editor.setMode(1);
        editor.prepare();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.resize(1546, 642); // twice the designed size
        auto* mob = editor.textField("MOB");
        auto* web = editor.textField("WEB");
        auto* bds = child<QPlainTextEdit>(&editor, "BDS");
        auto* hdg = child<QWidget>(&editor, "HDG");
        QCOMPARE(hdg->y(), 0);
        QCOMPARE(hdg->width(), 1546);
        QCOMPARE(mob->x(), 98 * 2);
        QCOMPARE(mob->width(), 280 * 2);
        QCOMPARE(bds->height(), web->y() - mob->y() + 21);
        editor.resize(773, 321);
        QCOMPARE(mob->geometry(), QRect(98, 185, 280, 21));
        editor.activateWindow();
        editor.textField("CNAM")->setFocus();
        QTest::keyClick(editor.textField("CNAM"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(&editor, "CCD"));
        editor.textField("WEB")->setFocus();
        QTest::keyClick(editor.textField("WEB"), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(editor.textField("PNAM")));
    }
};

QTEST_MAIN(EditorsTest)
#include "tst_editors.moc"
