// The contact list model and its statements: folder listings, rows read on demand, searches
// with hostile text, highlighting, removal, the search history and the action rules.
#include "PersonalFixture.h"
#include "app/SettingsStore.h"
#include "data/DatabaseError.h"
#include "data/Query.h"
#include "directory/ContactActions.h"
#include "directory/DirectoryColumns.h"
#include "directory/SearchHistory.h"
#include "personal/ContactListModel.h"
#include "personal/ContactSearch.h"
#include "personal/ContactSearchRunner.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QtTest>

class ContactListTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PersonalFixture> f;
    std::unique_ptr<ContactListModel> model;

    QStringList listedTitles() {
        QStringList list;
        for (int r = 0; r < model->rowCount(); ++r)
            list << model->data(model->index(r, 1)).toString();
        return list;
    }
    void search(int field, const QString& text) {
        const QString pattern = ContactSearch::pattern(text);
        model->setStatements(ContactSearch::searchListSql(field, pattern),
                             ContactSearch::searchCountSql(field, pattern));
        model->ListContacts();
    }

private slots:
    void init() {
        f = std::make_unique<PersonalFixture>();
        model = std::make_unique<ContactListModel>(f->db().DTR);
    }
    void cleanup() {
        model.reset();
        f.reset();
    }

    void statementsOfListingsAndSearches() {
        QCOMPARE(ContactSearch::folderListSql(1),
                 QStringLiteral("SELECT * FROM CONT ORDER BY CNAM"));
        QCOMPARE(ContactSearch::folderCountSql(1), QStringLiteral("SELECT COUNT(*) FROM CONT"));
        QCOMPARE(ContactSearch::folderListSql(7),
                 QStringLiteral("SELECT * FROM CONT WHERE CTCD=7 ORDER BY CNAM"));
        QCOMPARE(ContactSearch::searchListSql(6, ContactSearch::pattern("ali  khan")),
                 QStringLiteral(
                     "SELECT * FROM CONT WHERE UPPER(PNAM) LIKE '%ALI%%KHAN%' ORDER BY CNAM"));
        QCOMPARE(ContactSearch::searchCountSql(0, ContactSearch::pattern("x")),
                 QStringLiteral("SELECT COUNT(*) FROM CONT WHERE WRD LIKE '%X%'"));
        QCOMPARE(ContactSearch::pattern("O'Neil"), QStringLiteral("'%O''NEIL%'"));
        QCOMPARE(ContactSearch::SearchColumn(13), QStringLiteral("UPPER(WEB)"));
        QCOMPARE(ContactSearch::SearchColumn(14), QStringLiteral("WRD"));
        QCOMPARE(ContactSearch::SearchColumn(-1), QStringLiteral("WRD"));
        QCOMPARE(ContactSearch::searchWords("ali  khan"), QStringList({"ALI", "KHAN"}));
        QVERIFY(ContactSearch::searchWords("   ").isEmpty());
        QVERIFY(ContactSearch::searchWords("%").isEmpty());
        QCOMPARE(ContactSearch::searchWords(QStringLiteral("café ЖУК")),
                 QStringList({QStringLiteral("CAFÉ"), QStringLiteral("ЖУК")}));
    }

    void folderListingsOrderedByTitle() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        f->addContact(a, "Zahid Traders");
        f->addContact(b, "Ali Brothers");
        f->addContact(a, "Bilal Steel");
        // Column 0 numbers rows by position, so removals are checked apart from the tester.
        QAbstractItemModelTester tester(model.get(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model->ListContacts(1);
        QCOMPARE(listedTitles(), QStringList({"Ali Brothers", "Bilal Steel", "Zahid Traders"}));
        QCOMPARE(model->count(), 3);
        QCOMPARE(model->data(model->index(2, 0)).toString(), QStringLiteral("3"));
        model->ListContacts(a);
        QCOMPARE(listedTitles(), QStringList({"Bilal Steel", "Zahid Traders"}));
        model->clear();
        QCOMPARE(model->rowCount(), 0);
        model->ListContacts(); // the current query again
        QCOMPARE(model->rowCount(), 2);
        model->setSearchWords({"BILAL"});
        model->setFieldChoice(3);
        ContactRow r = model->row(1);
        r.CNAM = "Zahid & Co";
        model->setRow(1, r);
    }

    void rowsAreCopiedOnlyWhenNeeded() {
        for (int i = 0; i < 300; ++i)
            f->addContact(1, QStringLiteral("Contact %1").arg(i, 3, 10, QChar('0')),
                          {{"PHN", QString::number(i)}, {"CCD", "28"}});
        model->ListContacts(1);
        QCOMPARE(model->rowCount(), 300);
        QCOMPARE(model->fetchedCount(), 0);
        QCOMPARE(model->row(24).CNAM, QStringLiteral("Contact 024"));
        QCOMPARE(model->fetchedCount(), 25);
        // Going back reads nothing again; going forward reads only up to the row.
        QCOMPARE(model->row(3).PHN, QStringLiteral("3"));
        QCOMPARE(model->fetchedCount(), 25);
        QCOMPARE(model->row(299).CNAM, QStringLiteral("Contact 299"));
        QCOMPARE(model->row(299).CCD, 28);
        QCOMPARE(model->fetchedCount(), 300);
        QCOMPARE(model->row(300).CNAM, QString()); // outside the list
    }

    void rowsOfVanishedRecordsStayEmpty() {
        f->addContact(1, "A");
        f->addContact(1, "B");
        model->ListContacts(1);
        // Another connection removes a record the cursor has not read yet.
        f->db().MM.ExecStatement("DELETE FROM CONT WHERE CNAM='B'");
        f->db().DTR.CommitRetaining();
        QCOMPARE(model->row(0).CNAM, QStringLiteral("A"));
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->row(1).CD, 0);
    }

    // Rows far from the last read are released and read again by key: the same records in
    // the same places, also after rows were removed and one was edited.
    void releasedRowsComeBackIdentical() {
        for (int i = 0; i < 700; ++i)
            f->addContact(
                1 + i % 3, QStringLiteral("Contact %1").arg(i % 350, 3, 10, QChar('0')),
                {{"PHN", QString::number(i)}, {"BDS", QStringLiteral("ناظم\r\n%1").arg(i)}});
        model->setMaxLoadedChunks(1);
        model->ListContacts(1);
        QCOMPARE(model->rowCount(), 700);
        const auto snapshot = [this] {
            QList<QStringList> rows;
            for (int r = 0; r < model->rowCount(); ++r) {
                const ContactRow row = model->row(r);
                rows << QStringList{QString::number(row.CD), QString::number(row.CTCD), row.CNAM,
                                    row.PHN, row.BDS};
            }
            return rows;
        };
        const QList<QStringList> first = snapshot();
        QVERIFY(model->loadedChunks() <= 2);
        // Read backwards, then at random: every row as it was.
        for (int r = model->rowCount() - 1; r >= 0; --r)
            QCOMPARE(model->row(r).PHN, first[r][3]);
        QRandomGenerator random(5);
        for (int n = 0; n < 200; ++n) {
            const int r = int(random.bounded(700u));
            QCOMPARE(model->data(model->index(r, 1)).toString(), first[r][2]);
            QCOMPARE(model->data(model->index(r, 0)).toString(), QString::number(r + 1));
        }
        QCOMPARE(snapshot(), first);
        model->removeListedRows({650, 3, 4, 300});
        QList<QStringList> expected = first;
        for (int r : {650, 300, 4, 3})
            expected.removeAt(r);
        QCOMPARE(snapshot(), expected);
        // The editor saves a contact, then writes it into its row.
        ContactRow edited = model->row(10);
        edited.PHN = "edited";
        f->db().MM.ExecStatement(
            QStringLiteral("UPDATE CONT SET PHN='edited' WHERE CD=%1").arg(edited.CD));
        model->setRow(10, edited);
        model->row(600);
        model->row(200);
        QCOMPARE(model->row(10).PHN, QStringLiteral("edited"));
        QCOMPARE(model->count(), 700); // the count of the listing stays
    }

    // Both plans of a search give the keys of the listing statement in its order, equal titles
    // included (the name index keeps them by record number), also after deletes and updates
    // have left gaps and moved records.
    void bothSearchPlansListTheSameKeysInTheSameOrder() {
        QList<int> ids;
        for (int i = 0; i < 120; ++i)
            ids << f->addContact(1 + i % 2,
                                 i % 3 ? QStringLiteral("Khan Traders")
                                       : QStringLiteral("Butt & Sons %1").arg(i % 7),
                                 {{"PNAM", i % 4 ? "Ali Khan" : "Sana"}});
        for (int i = 0; i < 120; i += 11)
            f->db().MM.ExecStatement(QStringLiteral("DELETE FROM CONT WHERE CD=%1").arg(ids[i]));
        for (int i = 5; i < 120; i += 13)
            f->db().MM.ExecStatement(QStringLiteral("UPDATE CONT SET BDS='%1' WHERE CD=%2")
                                         .arg(QString(900, 'x'))
                                         .arg(ids[i]));
        f->addContact(1, "Khan Traders");
        f->db().DTR.CommitRetaining();
        const auto keys = [this](const QString& sql) {
            QList<int> list;
            Query q(f->db().DTR);
            q.setSql(sql);
            for (q.open(); !q.eof(); q.next())
                list << q.value(q.fieldIndex("CD")).toInt();
            return list;
        };
        for (const auto& [field, text] :
             {std::pair{0, QStringLiteral("khan")}, std::pair{6, QStringLiteral("sana")},
              std::pair{1, QStringLiteral("zzz")}}) {
            const QString pattern = ContactSearch::pattern(text);
            const QList<int> listed = keys(ContactSearch::searchListSql(field, pattern));
            QCOMPARE(keys(ContactSearch::searchKeysSql(field, pattern, true)), listed);
            QCOMPARE(keys(ContactSearch::searchKeysSql(field, pattern, false)), listed);
        }
        // The scan and sort is chosen for few hits only.
        QVERIFY(ContactSearchRunner::fewHits(10, 1000));
        QVERIFY(!ContactSearchRunner::fewHits(500, 1000));
        QVERIFY(!ContactSearchRunner::fewHits(60000, 10000000));
        QVERIFY(!ContactSearchRunner::fewHits(1, 0));
    }

    void nullsReadAsZeroAndEmpty() {
        f->addContact(1, "Plain");
        model->ListContacts(1);
        const ContactRow& r = model->row(0);
        QCOMPARE(r.CCD, 0);
        QCOMPARE(r.HOT, 0);
        QVERIFY(r.PHN.isEmpty());
        QVERIFY(!r.PHN.isNull() || r.PHN.isEmpty());
    }

    void searchesWithHostileText() {
        const int a = f->addFolder(0, "A");
        f->addContact(a, "O'Neil Traders");
        f->addContact(a, "Discount 50% Store");
        f->addContact(a, "A_B Corporation");
        f->addContact(a, "AXB Corporation");
        f->addContact(a, "Back\\Slash House");
        f->addContact(a, "Ali Khan & Sons", {{"PNAM", "Ali  Raza Khan"}});
        search(1, "O'Neil");
        QCOMPARE(listedTitles(), QStringList({"O'Neil Traders"}));
        // "%" and "_" typed by the user act as wildcards.
        search(1, "50%St");
        QCOMPARE(listedTitles(), QStringList({"Discount 50% Store"}));
        search(1, "A_B");
        QCOMPARE(listedTitles(), QStringList({"AXB Corporation", "A_B Corporation"}));
        search(1, "k\\s");
        QCOMPARE(listedTitles(), QStringList({"Back\\Slash House"}));
        search(6, "ali khan");
        QCOMPARE(listedTitles(), QStringList({"Ali Khan & Sons"}));
        search(6, "khan ali"); // the words in that order only
        QCOMPARE(model->rowCount(), 0);
        // A 1,000-character text runs and finds nothing.
        search(0, QString(1000, u'x'));
        QCOMPARE(model->count(), 0);
        search(1, QString(1000, u'\''));
        QCOMPARE(model->count(), 0);
        // All fields: WRD, in every folder.
        search(0, "raza");
        QCOMPARE(listedTitles(), QStringList({"Ali Khan & Sons"}));
    }

    void contactsWithoutWordsAreNeverFoundByAll() {
        f->addContact(1, "Findable");
        f->db().MM.ExecStatement(
            "INSERT INTO CONT (CD, CTCD, CNAM) VALUES (900, 1, 'Findable Too')");
        // WRD emptied behind the trigger's back.
        f->db().MM.ExecStatement("ALTER TRIGGER CONT_WRD INACTIVE");
        f->db().DTR.commit();
        f->db().MM.ExecStatement("UPDATE CONT SET WRD=NULL WHERE CD=900");
        f->db().DTR.CommitRetaining();
        search(0, "findable");
        QCOMPARE(listedTitles(), QStringList({"Findable"}));
        search(1, "findable");
        QCOMPARE(model->rowCount(), 2);
    }

    void highlightingFollowsTheFieldChoice() {
        const QStringList words{"KHAN"};
        QVERIFY(ContactSearch::isHighlighted("Ali Khan", 1, 0, words));
        QVERIFY(!ContactSearch::isHighlighted("Ali Khan", 0, 0, words));
        QVERIFY(!ContactSearch::isHighlighted("Ali Khan", 1, 6, words));
        QVERIFY(ContactSearch::isHighlighted("khan sahib", 6, 6, words));
        QVERIFY(!ContactSearch::isHighlighted("Ali Khan", 1, 0, {}));
        f->addContact(1, "Khan Traders", {{"PNAM", "Imran Khan"}});
        model->ListContacts(1);
        model->setSearchWords(words);
        const auto bold = [&](int column) {
            return model->data(model->index(0, column), Qt::FontRole).value<QFont>().bold();
        };
        QVERIFY(bold(1));
        QVERIFY(bold(6));
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        model->setFieldChoice(6);
        QCOMPARE(changed.size(), 1);
        QVERIFY(!bold(1));
        QVERIFY(bold(6));
    }

    void removingRowsRenumbers() {
        for (const char* t : {"A", "B", "C", "D", "E"})
            f->addContact(1, t);
        model->ListContacts(1);
        model->removeListedRows({3, 1, 0});
        QCOMPARE(listedTitles(), QStringList({"C", "E"}));
        QCOMPARE(model->data(model->index(1, 0)).toString(), QStringLiteral("2"));
        ContactRow r = model->row(0);
        r.CNAM = "C2";
        model->setRow(0, r);
        QCOMPARE(model->row(0).CNAM, QStringLiteral("C2"));
        model->removeListedRows({0, 1});
        QCOMPARE(model->rowCount(), 0);
        model->ListContacts(1);
        model->clear();
    }

    void headerAndMime() {
        QCOMPARE(model->headerData(12, Qt::Horizontal).toString(), QStringLiteral("E-Mail"));
        QCOMPARE(DirectoryColumns::width(2), 300);
        QVERIFY(model->mimeTypes().contains(ContactListModel::ContactMimeType));
    }

    void historyKeepsTwentyNewestFirst() {
        SettingsStore settings(f->settingsPath());
        SearchHistory history(settings, "PD\\SRB_L");
        history.refresh();
        QVERIFY(history.entries().isEmpty());
        for (int i = 1; i <= 25; ++i)
            history.add(QStringLiteral("search %1").arg(i));
        QCOMPARE(history.entries().size(), 20);
        QCOMPARE(history.entries().first(), QStringLiteral("search 25"));
        QCOMPARE(history.entries().last(), QStringLiteral("search 6"));
        QStringList stored;
        settings.ReadList("PD\\SRB_L", stored);
        QCOMPARE(stored.size(), 21); // the trimmed list is not written back
        history.add("search 25");    // duplicates allowed
        QCOMPARE(history.entries().mid(0, 2), QStringList({"search 25", "search 25"}));
    }

    void actionRules() {
        ContactRow r;
        auto s = ContactActions::enabling(r, 1);
        QVERIFY(!s.DL && !s.MBL && !s.EM && !s.HMP && s.RTF);
        r.PHN = " ";
        r.MOB = "0300";
        s = ContactActions::enabling(r, 2);
        QVERIFY(s.DL && s.MBL && s.EM && !s.HMP); // blanks count; two rows enable e-mail
        ContactRow a, empty, b;
        a.EML = "a@x.pk";
        b.EML = "b@y.pk";
        QCOMPARE(ContactActions::mailAddressList({a, empty, b}), QStringLiteral("a@x.pk,,b@y.pk"));
        QCOMPARE(ContactActions::mailUrl({a, empty, b}).toString(),
                 QStringLiteral("mailto:a@x.pk,,b@y.pk"));
        QVERIFY(ContactActions::mailUrl({empty, empty}).isEmpty());
        QCOMPARE(ContactActions::mailAddressList({empty, b}), QStringLiteral("b@y.pk"));
        QCOMPARE(ContactActions::homePageUrl("www.abc.com.pk").toString(),
                 QStringLiteral("http://www.abc.com.pk"));
        QCOMPARE(ContactActions::homePageUrl("HTTPS://abc.pk/x").toString(),
                 QStringLiteral("https://abc.pk/x"));
        QCOMPARE(ContactActions::homePageUrl("http://abc.pk").toString(),
                 QStringLiteral("http://abc.pk"));
    }
};

QTEST_GUILESS_MAIN(ContactListTest)
#include "tst_contactlist.moc"
