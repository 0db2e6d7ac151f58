// Connections, transactions, the single-value helper, statements and the editing object.
#include "TempDatabase.h"
#include "app/Helpers.h"
#include "data/DataSetEditor.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"
#include "data/Query.h"

#include <QtTest>

class DataLayerTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_open = std::make_unique<OpenTempDatabase>();
        m_tmp = &m_open->files;
        m_db = &m_open->db;
    }
    void cleanup() { m_open.reset(); }

    void firstRows() {
        QCOMPARE(m_db->MM.QueryText("TITLE", "CATE", "CD=1"), QStringLiteral("All Contacts"));
        QVERIFY(m_db->MM.QueryCount("", "CTRY", "PCD=1") >= 30);
        QCOMPARE(m_db->MM.QueryText("CODE", "CTRY", "TITLE='Lahore'"), QStringLiteral("042"));
        QCOMPARE(m_db->MM.QueryText("CODE", "CTRY", "TITLE='Karachi'"), QStringLiteral("021"));
        QCOMPARE(m_db->SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
        QCOMPARE(m_db->SYS_MM.QueryCount("ID", "HVX"), 3);
    }

    void singleValuesOnMissingRows() {
        m_db->SYS_MM.ExecStatement("delete from hvx where id=4");
        QCOMPARE(m_db->SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
        QCOMPARE(m_db->SYS_MM.QueryText("COM", "HVX", "ID=4"), QString());
        m_db->SYS_MM.ExecStatement("update hvx set com=NULL where id=1");
        QCOMPARE(m_db->SYS_MM.QueryInteger("COM", "HVX", "ID=1"), 0);
    }

    void queryIntegerOnTextRaises() {
        m_db->SYS_MM.ExecStatement("update hvx set com='abc' where id=1");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m_db->SYS_MM.QueryInteger("COM", "HVX", "ID=1"));
        QCOMPARE(m_db->SYS_MM.QueryInteger("COM", "HVX", "ID=4"), 0);
    }

    void execStatementCountsRows() {
        QCOMPARE(m_db->MM.ExecStatement("update ctry set code=code where pcd=1"),
                 m_db->MM.QueryCount("", "CTRY", "PCD=1"));
        QCOMPARE(m_db->MM.ExecStatement("delete from cont"), 0);
    }

    void wrdTriggerKeepsSearchText() {
        m_db->MM.ExecStatement("insert into cont (cd, ctcd, cnam, pnam, phn, eml) values "
                               "(7, 1, 'O''Neil Traders', 'ali khan', '042-111', 'a@b.pk')");
        const QString wrd = m_db->MM.QueryText("WRD", "CONT", "CD=7");
        QVERIFY(wrd.contains("O'NEIL TRADERS"));
        QVERIFY(wrd.contains("ALI KHAN"));
        QVERIFY(wrd.contains("A@B.PK"));
        m_db->MM.ExecStatement("update cont set pnam='Zahid' where cd=7");
        const QString updated = m_db->MM.QueryText("WRD", "CONT", "CD=7");
        QVERIFY(updated.contains("ZAHID"));
        QVERIFY(!updated.contains("ALI KHAN"));
    }

    void textOfEveryScriptRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("latin-1") << QString::fromLatin1("Caf\xE9 M\xFCller");
        QTest::newRow("urdu") << QStringLiteral("لاہور کی کتابیں");
        QTest::newRow("emoji") << QStringLiteral("Tea \U0001F375 and \U0001F600");
        QTest::newRow("combining") << QStringLiteral("Cafe\u0301 n\u0303");
        QTest::newRow("rtl marks") << QStringLiteral("\u200Fعلی\u200E 042-111 \u202Bخان\u202C");
        QTest::newRow("mixed") << QStringLiteral("Habib بک ڈپو Books");
        QTest::newRow("200 urdu") << QString(200, QChar(0x06C1));
        QTest::newRow("200 emoji")
            << QString::fromUcs4(std::u32string(200, U'\U0001F600').data(), 200);
    }

    void textOfEveryScriptRoundTrip() {
        QFETCH(QString, text);
        Query q(m_db->DTR);
        q.setSql("insert into cont (cd, cnam, bds) values (:VL, :NAME, :NAME)");
        q.setParam(":VL", 3);
        q.setParam("name", text);
        QCOMPARE(q.execute(), 1);
        QCOMPARE(m_db->MM.QueryText("CNAM", "CONT", "CD=3"), text);
        // Parameters and literals in the statement text reach the engine alike.
        QCOMPARE(m_db->MM.QueryCount("", "CONT", "CNAM=" + QuoteSql(text)), 1);
        QCOMPARE(m_db->MM.QueryText("WRD", "CONT", "CD=3").trimmed(),
                 DatabaseUpper(text + QString(12, u' ') + text).trimmed());
    }

    void columnSizesCountCharacters() {
        Query q(m_db->DTR);
        q.setSql("select cnam, zcd, bds from cont");
        q.open();
        QCOMPARE(q.fieldLength(q.fieldIndex("CNAM")), 200);
        QCOMPARE(q.fieldLength(q.fieldIndex("ZCD")), 20);
        QCOMPARE(q.fieldLength(q.fieldIndex("BDS")), 2000);
        // One character over the size is refused, not cut in the middle of a character.
        Query ins(m_db->DTR);
        ins.setSql("insert into cont (cd, cnam) values (4, :NAME)");
        ins.setParam("name", QString(201, QChar(0x06C1)));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, ins.execute());
        QCOMPARE(m_db->MM.QueryCount("", "CONT", "CD=4"), 0);
    }

    // Searches upper-case their pattern like the engine fills WRD; the two must agree on every
    // character, or a contact is missed in some script.
    void upperCaseAgreesWithTheEngine() {
        Query q(m_db->DTR);
        q.setSql("select upper(cast(:T as varchar(4000))) from rdb$database");
        QStringList differing;
        const auto check = [&](char32_t from, char32_t to) {
            for (char32_t start = from; start < to; start += 3000) {
                std::u32string chunk;
                for (char32_t c = start; c < qMin<char32_t>(to, start + 3000); ++c)
                    if (!(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF)
                        chunk += c;
                const QString text = QString::fromUcs4(chunk.data(), qsizetype(chunk.size()));
                q.setParam("T", text);
                q.open();
                const QList<uint> engine = q.value(0).toString().toUcs4();
                const QList<uint> mine = DatabaseUpper(text).toUcs4();
                QCOMPARE(engine.size(), mine.size());
                for (qsizetype i = 0; i < mine.size(); ++i)
                    if (engine[i] != mine[i])
                        differing << QStringLiteral("%1:%2/%3")
                                         .arg(uint(chunk[size_t(i)]), 0, 16)
                                         .arg(engine[i], 0, 16)
                                         .arg(mine[i], 0, 16);
            }
        };
        check(0x20, 0x10000);
        check(0x10000, 0x1F000);
        QVERIFY2(differing.isEmpty(), qPrintable(differing.join(u' ')));
        QCOMPARE(DatabaseUpper(QStringLiteral("café straße \U00010428")),
                 QStringLiteral("CAFÉ STRAßE \U00010400"));
    }

    void parametersAndOnDemandCursor() {
        for (int i = 0; i < 30; ++i)
            m_db->MM.ExecStatement(
                QString("insert into cate (cd, pcd, title) values (%1, 0, 'F%2')")
                    .arg(100 + i)
                    .arg(i, 2, 10, QChar('0')));
        Query q(m_db->DTR);
        q.setSql("SELECT FIRST 1 SKIP :SK * FROM CATE WHERE PCD=:VL ORDER BY TITLE");
        q.setParam(":SK", 5);
        q.setParam(":VL", 0);
        q.open();
        QVERIFY(!q.eof());
        QCOMPARE(q.value("TITLE").toString(), QStringLiteral("F04")); // "All Contacts" sorts first
        QVERIFY(!q.next());
        QVERIFY(q.eof());

        Query all(m_db->DTR);
        all.setSql("SELECT * FROM CATE ORDER BY CD");
        all.open();
        int rows = 0;
        for (; !all.eof(); all.next())
            ++rows;
        QCOMPARE(rows, 31);
    }

    void commitRetainingKeepsCursorOpen() {
        Query q(m_db->DTR);
        q.setSql("SELECT CD FROM CTRY ORDER BY CD");
        q.open();
        QCOMPARE(q.value(0).toInt(), 1);
        m_db->MM.ExecStatement("insert into cate (cd, pcd, title) values (9, 0, 'x')");
        m_db->DTR.CommitRetaining();
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
    }

    // Work done through ExecStatement is seen on the same connection at once, by another
    // connection only after CommitRetaining.
    void visibilityAcrossConnections() {
        Databases other;
        other.open(m_tmp->dataPath(), m_tmp->sysPath());
        m_db->MM.ExecStatement("insert into cate (cd, pcd, title) values (50, 0, 'Suppliers')");
        QCOMPARE(m_db->MM.QueryCount("", "CATE", "CD=50"), 1);
        QCOMPARE(other.MM.QueryCount("", "CATE", "CD=50"), 0);
        m_db->DTR.CommitRetaining();
        QCOMPARE(other.MM.QueryCount("", "CATE", "CD=50"), 1);
        QVERIFY(m_db->DTR.isActive());
    }

    void uncommittedWorkIsRolledBackAtTheEnd() {
        m_db->MM.ExecStatement("insert into cate (cd, pcd, title) values (51, 0, 'Lost')");
        m_db->MDB.close(); // ends the transaction the way the end of the program does
        m_db->SYS_MDB.close();
        Databases again;
        again.open(m_tmp->dataPath(), m_tmp->sysPath());
        QCOMPARE(again.MM.QueryCount("", "CATE", "CD=51"), 0);
    }

    void nowaitConflictFailsAtOnce() {
        Databases other;
        other.open(m_tmp->dataPath(), m_tmp->sysPath());
        m_db->MM.ExecStatement("update cate set title='Mine' where cd=1");
        QElapsedTimer timer;
        timer.start();
        try {
            other.MM.ExecStatement("update cate set title='Theirs' where cd=1");
            QFAIL("the second update should meet the lock");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.isLockConflict(), qPrintable(e.message()));
        }
        m_db->DTR.CommitRetaining();
        QCOMPARE(other.MM.QueryText("TITLE", "CATE", "CD=1"), QStringLiteral("Mine"));
    }

    void generatorReplacesGivenKey() {
        DataSetEditor cdt(m_db->DTR);
        cdt.setSelectSql("select * from CONT WHERE CD=:VL");
        cdt.setInsertSql("INSERT INTO CONT (CTCD, CD, PCD, CNAM, SLG, RTP, ORD, CT, LU) VALUES "
                         "(:CTCD, :CD, :PCD, :CNAM, :SLG, :RTP, :ORD, :CT, :LU)");
        cdt.setModifySql("UPDATE CONT SET CTCD = :CTCD, CD = :CD, CNAM = :CNAM, SLG = :SLG, "
                         "RTP = :RTP, ORD = :ORD, CT = :CT, LU = :LU WHERE CD = :OLD_CD");
        cdt.setRefreshSql("SELECT CTCD, CD, CNAM, WRD FROM CONT WHERE CD = :CD");
        cdt.setGenerator("GEN_CONT");
        cdt.setParam(":VL", 0);
        cdt.open();
        QVERIFY(cdt.isEmpty());
        QVERIFY(cdt.fieldLength("CNAM") >= 100);
        cdt.append();
        cdt.setField("CD", 999);
        cdt.setField("CTCD", 1);
        cdt.setField("CNAM", "Habib Sons");
        cdt.post();
        const int expected = m_db->MM.QueryInteger("GEN_ID(GEN_CONT, 0)", "RDB$DATABASE");
        QCOMPARE(cdt.field("CD").toInt(), expected);
        QCOMPARE(m_db->MM.QueryCount("", "CONT", "CD=999"), 0);
        QCOMPARE(cdt.field("WRD").toString(), QStringLiteral("HABIB SONS") + QString(12, ' '));
        QVERIFY(m_db->MM.QueryText("SLG", "CONT", QString("CD=%1").arg(expected)).isEmpty());

        // Update keeps the carried columns as they were.
        m_db->MM.ExecStatement(
            QString("update cont set slg='kept', ord=4 where cd=%1").arg(expected));
        DataSetEditor edit(m_db->DTR);
        edit.setSelectSql("select * from CONT WHERE CD=:VL");
        edit.setModifySql("UPDATE CONT SET CNAM = :CNAM, SLG = :SLG, ORD = :ORD WHERE CD = "
                          ":OLD_CD");
        edit.setParam(":VL", expected);
        edit.open();
        edit.edit();
        edit.setField("CNAM", "Habib & Sons");
        edit.post();
        const QString where = QString("CD=%1").arg(expected);
        QCOMPARE(m_db->MM.QueryText("CNAM", "CONT", where), QStringLiteral("Habib & Sons"));
        QCOMPARE(m_db->MM.QueryText("SLG", "CONT", where), QStringLiteral("kept"));
        QCOMPARE(m_db->MM.QueryInteger("ORD", "CONT", where), 4);
    }

    void closingTheConnectionReleasesStatements() {
        Query q(m_db->DTR);
        q.setSql("SELECT CD FROM CTRY");
        q.open();
        m_db->MDB.close();
        QVERIFY(!q.isOpen());
        m_db->MDB.open();
        q.open();
        QVERIFY(!q.eof());
    }

private:
    std::unique_ptr<OpenTempDatabase> m_open;
    TempDatabase* m_tmp = nullptr;
    Databases* m_db = nullptr;
};

QTEST_GUILESS_MAIN(DataLayerTest)
#include "tst_datalayer.moc"
