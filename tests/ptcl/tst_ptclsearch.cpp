#include "ptcl/PtclSearch.h"

#include <QTest>

// Checking the phone box, the request bytes and reading the plug-in's replies.
class TstPtclSearch : public QObject {
    Q_OBJECT
private slots:
    void phoneCheck_data() {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<int>("check");
        using P = PtclSearch::PhoneCheck;
        QTest::newRow("empty") << QString() << int(P::Empty);
        QTest::newRow("blanks") << QStringLiteral("   ") << int(P::Empty);
        QTest::newRow("4 digits") << QStringLiteral("1234") << int(P::Invalid);
        QTest::newRow("5 digits") << QStringLiteral("12345") << int(P::Invalid);
        QTest::newRow("6 digits") << QStringLiteral("123456") << int(P::Valid);
        QTest::newRow("7 digits") << QStringLiteral("1234567") << int(P::Valid);
        QTest::newRow("inner blank") << QStringLiteral("12 345") << int(P::Invalid);
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("١٢٣٤٥٦٧") << int(P::Invalid);
    }
    void phoneCheck() {
        QFETCH(QString, phone);
        QFETCH(int, check);
        QCOMPARE(int(PtclSearch::checkPhone(phone)), check);
    }

    void requests() {
        QCOMPARE(PtclSearch::phoneRequest(QStringLiteral("1234567")),
                 QByteArray("1234567\x1f\x1f"));
        QCOMPARE(PtclSearch::nameAddressRequest(QStringLiteral(" ali "), QString()),
                 QByteArray("\x1f"
                            "ali\x1f"));
        QCOMPARE(PtclSearch::nameAddressRequest(QString(), QStringLiteral("Mall Road")),
                 QByteArray("\x1f\x1f"
                            "Mall Road"));
        // Blanks are the characters up to code 32; other spaces are part of the text.
        QCOMPARE(PtclSearch::nameAddressRequest(QStringLiteral("\t\x01"
                                                               "ali\u00a0\x1f\r"),
                                                QStringLiteral("\u3000Mall Road ")),
                 QByteArray("\x1f"
                            "ali\xa0\x1f?Mall Road"));
        QCOMPARE(PtclSearch::phoneRequest(QStringLiteral("\x02"
                                                         "1234567\n")),
                 QByteArray("1234567\x1f\x1f"));
        // The directory reads Latin-1: what it cannot carry goes out as '?'.
        QCOMPARE(PtclSearch::nameAddressRequest(QStringLiteral("Café علی"), QString()),
                 QByteArray("\x1f"
                            "Caf\xe9 ???\x1f"));
    }

    void errorReplies() {
        const auto busy = PtclSearch::parseReply("Error:Server busy");
        QVERIFY(busy.isError);
        QCOMPARE(busy.message, QStringLiteral("Server busy"));
        QVERIFY(busy.rows.isEmpty());

        // Only the exact word marks an error; this is a reply without a complete record.
        const auto lower = PtclSearch::parseReply("error:x");
        QVERIFY(!lower.isError);
        QVERIFY(lower.rows.isEmpty());
    }

    void records() {
        const auto reply = PtclSearch::parseReply("0425551234\x1f"
                                                  "ALI TRADERS\x1f"
                                                  "MAIN ROAD NORTH\x1e"
                                                  "0215550000\x1f"
                                                  "Bilal\x1f"
                                                  "o-block 2\x1f"
                                                  "extra\x1e"
                                                  "0515551111\x1f"
                                                  "Last\x1f"
                                                  "not closed");
        QCOMPARE(reply.rows.size(), 2);
        QCOMPARE(reply.rows[0].PHN, QStringLiteral("0425551234"));
        QCOMPARE(reply.rows[0].CNAM, QStringLiteral("ALI TRADERS"));
        QCOMPARE(reply.rows[0].ADR, QStringLiteral("Main Road North"));
        QCOMPARE(reply.rows[1].ADR, QStringLiteral("O-Block 2"));
        QCOMPARE(reply.rows[1].CD, 0);
    }

    void shortAndEmptyRecords() {
        const auto reply = PtclSearch::parseReply("0425551234\x1e\x1e");
        QCOMPARE(reply.rows.size(), 2);
        QCOMPARE(reply.rows[0].PHN, QStringLiteral("0425551234"));
        QVERIFY(reply.rows[0].CNAM.isEmpty());
        QVERIFY(reply.rows[1].PHN.isEmpty());
        QVERIFY(PtclSearch::parseReply(QByteArray()).rows.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstPtclSearch)
#include "tst_ptclsearch.moc"
