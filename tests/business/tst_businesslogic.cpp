// The business directory without a window: replies split into rows, the result model and its
// colours, copies into personal folders, and the reference service's directory and queries.
#include "PersonalFixture.h"
#include "ResultraHandler.h"
#include "business/BusinessListModel.h"
#include "business/BusinessReply.h"
#include "business/CopyToFolder.h"
#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QtTest>

namespace {
// One record of 16 fields from id, city, title and colour, the others filled by position.
QByteArray record(const QByteArray& id, const QByteArray& city, const QByteArray& title,
                  const QByteArray& colour = {}) {
    QList<QByteArray> f{id, city, title};
    for (int i = 3; i < 15; ++i)
        f << "f" + QByteArray::number(i);
    f << colour;
    return f.join(char(31));
}
const char RS = 30;
} // namespace

class BusinessLogicTest : public QObject {
    Q_OBJECT
private slots:
    void replyWithRecordsAndTheirSeparators() {
        const QByteArray two = "2 Records Found>" + record("7", "35", "Alpha") + RS +
                               record("8", "28", "Beta", "#FF0000") + RS;
        BusinessReply r = BusinessReply::parse(two);
        QCOMPARE(r.status, QStringLiteral("2 Records Found"));
        QCOMPARE(r.rows.size(), 2);
        QVERIFY(r.error.isEmpty());
        const BusinessRow& b = r.rows[1];
        QCOMPARE(b.CD, 8);
        QCOMPARE(b.CCD, 28);
        QCOMPARE(b.CNAM, QStringLiteral("Beta"));
        QCOMPARE(b.PNAM, QStringLiteral("f3"));
        QCOMPARE(b.BDS, QStringLiteral("f14"));
        QCOMPARE(b.RowColour, QStringLiteral("#FF0000"));
        QCOMPARE(b.CTCD, 0);
        QCOMPARE(b.HOT, 0);

        // Without the separator after the second record only the first is a record.
        r = BusinessReply::parse(two.chopped(1));
        QCOMPARE(r.rows.size(), 1);
        QCOMPARE(r.rows[0].CNAM, QStringLiteral("Alpha"));
    }

    void replyWithoutMarkerIsAllStatus() {
        const QByteArray text = "Service down for maintenance" + record("1", "2", "X") + RS;
        BusinessReply r = BusinessReply::parse(text);
        QCOMPARE(r.status, QString::fromLatin1(text));
        QVERIFY(r.rows.isEmpty());
        QVERIFY(r.error.isEmpty());
        r = BusinessReply::parse("Internet Connection Failed.>");
        QCOMPARE(r.status, QStringLiteral("Internet Connection Failed."));
        QVERIFY(r.rows.isEmpty());
        QCOMPARE(BusinessReply::parse(QByteArray()).status, QString());
    }

    void shortAndLongRecordsKeepWhatTheyHave() {
        const QByteArray reply = QByteArray("x>") + "5" + char(31) + "6" + char(31) + "Short" + RS +
                                 RS + record("9", "9", "Long") + char(31) + "extra" + RS;
        const BusinessReply r = BusinessReply::parse(reply);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        // The empty record between two separators is skipped.
        QCOMPARE(r.rows.size(), 2);
        QCOMPARE(r.rows[0].CNAM, QStringLiteral("Short"));
        QCOMPARE(r.rows[0].CCD, 6);
        QVERIFY(r.rows[0].BDS.isEmpty());
        QVERIFY(r.rows[0].RowColour.isEmpty());
        QCOMPARE(r.rows[1].CNAM, QStringLiteral("Long"));
        QVERIFY(r.rows[1].RowColour.isEmpty());
    }

    void identifierThatIsNoNumberStopsAfterTheRowsBefore() {
        const QByteArray reply = "3 Records Found>" + record("1", "35", "First") + RS +
                                 record("12a", "35", "Bad") + RS + record("3", "35", "Third") + RS;
        BusinessReply r = BusinessReply::parse(reply);
        QCOMPARE(r.rows.size(), 1);
        QCOMPARE(r.rows[0].CNAM, QStringLiteral("First"));
        QCOMPARE(r.error, QStringLiteral("'12a' is not a valid integer value"));
        // The city field is converted too; an identifier beyond the integer range is no number.
        r = BusinessReply::parse(">" + record("1", "Lahore", "T") + RS);
        QVERIFY(r.rows.isEmpty());
        QVERIFY(r.error.contains(QStringLiteral("'Lahore'")));
        r = BusinessReply::parse(">" + record("99999999999", "1", "T") + RS);
        QVERIFY(!r.error.isEmpty());
        r = BusinessReply::parse(">" + record(" -4 ", "+2", "T") + RS);
        QVERIFY(r.error.isEmpty());
        QCOMPARE(r.rows[0].CD, -4);
        QCOMPARE(r.rows[0].CCD, 2);
    }

    void bytesAreLatin1() {
        const BusinessReply r =
            BusinessReply::parse("1 Records Found>" + record("1", "35", "Caf\xe9 Lahore") + RS);
        QCOMPARE(r.rows[0].CNAM, QStringLiteral("Caf\u00e9 Lahore"));
    }

    void modelShowsColumnsAndOnlyValidColours() {
        BusinessListModel model;
        QAbstractItemModelTester tester(&model);
        const QByteArray reply = ">" + record("1", "35", "Red", "#FF0000") + RS +
                                 record("2", "35", "Plain") + RS + record("3", "35", "Bad", "red") +
                                 RS + record("4", "35", "Short", "#FF00") + RS +
                                 record("5", "35", "NotHex", "#GG0000") + RS;
        model.appendRows(BusinessReply::parse(reply).rows);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));
        QCOMPARE(model.data(model.index(4, 0)).toString(), QStringLiteral("5"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("Red"));
        QCOMPARE(model.data(model.index(0, 4)).toString(), QStringLiteral("f13")); // business
        QCOMPARE(model.headerData(11, Qt::Horizontal).toString(), QStringLiteral("U.A.N"));
        QCOMPARE(model.data(model.index(0, 3), Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 0, 0));
        for (int r = 1; r < 5; ++r)
            QVERIFY(!model.data(model.index(r, 2), Qt::BackgroundRole).isValid());
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void threeRowsCopiedGetNewIdentifiersAndNoHotMark() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Suppliers"));
        const int before = f.addContact(folder, QStringLiteral("Existing"));
        const BusinessReply r =
            BusinessReply::parse(">" + record("100001", "35", "Zeta Motors") + RS +
                                 record("100002", "28", "Alpha Tyres") + RS +
                                 record("100003", "24", "Mid Travels") + RS);
        QList<ContactRow> rows{r.rows.begin(), r.rows.end()};
        rows[1].BDS = QString(3000, u'd'); // longer than the column: cut, not refused

        DataSetEditor cdt(f.db().DTR);
        EditingStatements::configureContact(cdt);
        CopyToFolder::copy(cdt, f.db().DTR, folder, rows);

        QCOMPARE(f.count("CONT", QStringLiteral("CTCD=%1").arg(folder)), 4);
        QCOMPARE(f.count("CONT", QStringLiteral("CD>=100001")), 0);
        QCOMPARE(f.count("CONT", QStringLiteral("CTCD=%1 AND HOT IS NULL").arg(folder)), 4);
        // Consecutive new identifiers in list order.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(f.text("CNAM", "CONT", QStringLiteral("CD=%1").arg(before + 1 + i)),
                     rows[i].CNAM);
        QCOMPARE(f.text("CCD", "CONT", QStringLiteral("CD=%1").arg(before + 2)),
                 QStringLiteral("28"));
        QCOMPARE(f.text("PHN", "CONT", QStringLiteral("CD=%1").arg(before + 3)),
                 QStringLiteral("f7"));
        QCOMPARE(f.text("CHAR_LENGTH(BDS)", "CONT", QStringLiteral("CD=%1").arg(before + 2)),
                 QStringLiteral("2000"));
        QVERIFY(!cdt.isOpen());

        // Copying the same rows again makes a second set.
        CopyToFolder::copy(cdt, f.db().DTR, folder, rows);
        QCOMPARE(f.count("CONT", QStringLiteral("CNAM='Zeta Motors'")), 2);
    }

    void referenceDirectoryAnswersWordSearches() {
        const ResultraHandler handler;
        const ListingDirectory& dir = handler.directory();
        QVERIFY(dir.size() >= 2000);

        QCOMPARE(ResultraHandler::searchText("q=a+b"), QStringLiteral("a b"));
        QCOMPARE(ResultraHandler::searchText("x=1&q=%31%32%33"), QStringLiteral("123"));
        QCOMPARE(ResultraHandler::searchText("q=caf%E9"), QStringLiteral("caf\u00e9"));

        // Every word must occur, in any field, ignoring case; the reply parses as the page reads
        // it.
        const BusinessReply cars = BusinessReply::parse(handler.reply("q=tyres+LAHORE"));
        QVERIFY(!cars.rows.isEmpty());
        QVERIFY(cars.error.isEmpty());
        QCOMPARE(cars.status, QStringLiteral("%1 Records Found").arg(cars.rows.size()));
        for (const BusinessRow& row : cars.rows) {
            const QString all = (row.CNAM + row.ADR + row.BTP + row.BDS).toUpper();
            QVERIFY2(all.contains(QStringLiteral("TYRES")) &&
                         all.contains(QStringLiteral("LAHORE")),
                     qPrintable(row.CNAM));
            QCOMPARE(row.CCD, 35);
        }
        // Phones, mobiles, e-mails, web sites and some colours are there, colours all valid.
        const BusinessReply all = BusinessReply::parse(handler.reply("q=pakistan"));
        QCOMPARE(all.rows.size(), dir.size());
        int coloured = 0, mails = 0, mobiles = 0;
        for (const BusinessRow& row : all.rows) {
            QVERIFY(!row.PHN.isEmpty());
            if (!row.RowColour.isEmpty()) {
                QVERIFY(BusinessReply::isValidColour(row.RowColour));
                ++coloured;
            }
            mails += row.EML.contains(u'@');
            mobiles += row.MOB.startsWith(QStringLiteral("03"));
        }
        QVERIFY(coloured > 50 && coloured < all.rows.size() / 4);
        QVERIFY(mails > all.rows.size() / 2);
        QVERIFY(mobiles > all.rows.size() / 2);
        QCOMPARE(BusinessReply::parse(handler.reply("q=zzzqqq")).status,
                 QStringLiteral("0 Records Found"));
    }
};

QTEST_GUILESS_MAIN(BusinessLogicTest)
#include "tst_businesslogic.moc"
