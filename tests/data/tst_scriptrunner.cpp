// The isql-format script runner on real databases.
#include "TempDatabase.h"
#include "data/DatabaseError.h"
#include "data/Databases.h"

#include <QtTest>

class ScriptRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_open = std::make_unique<OpenTempDatabase>();
        m_tmp = &m_open->files;
        m_db = &m_open->db;
    }
    void cleanup() { m_open.reset(); }

    void splitsAtTerminatorOutsideQuotesAndComments() {
        const QStringList s =
            ScriptRunner::splitStatements("/* a; comment */ insert into t values ('a;b');\n"
                                          "-- line; comment\n"
                                          "update t set x = \"q;\" ;\n"
                                          "SET TERM ^ ;\n"
                                          "create procedure p as begin x = 1; y = 2; end^\n"
                                          "SET TERM ; ^\n"
                                          "select 1 from rdb$database;\n"
                                          "last without terminator");
        QCOMPARE(s.size(), 5);
        QCOMPARE(s[0], QStringLiteral("insert into t values ('a;b')"));
        QCOMPARE(s[1], QStringLiteral("update t set x = \"q;\""));
        QCOMPARE(s[2], QStringLiteral("create procedure p as begin x = 1; y = 2; end"));
        QCOMPARE(s[3], QStringLiteral("select 1 from rdb$database"));
        QCOMPARE(s[4], QStringLiteral("last without terminator"));
    }

    void failingStatementIsSkipped() {
        m_db->SCR.RunScript("insert into cate (cd, pcd, title) values (20, 0, 'one');\n"
                            "insert into no_such_table values (1);\n"
                            "insert into cate (cd, pcd, title) values (21, 0, 'three');\n");
        QCOMPARE(m_db->SCR.skippedCount(), 1);
        QCOMPARE(m_db->MM.QueryCount("", "CATE", "CD IN (20, 21)"), 2);
    }

    void withoutHandlerAnErrorStopsTheScript() {
        ScriptRunner runner(m_db->DTR);
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                 runner.RunScript("insert into nothing values (1);\n"
                                                  "insert into cate (cd, pcd) values (22, 0);"));
        QCOMPARE(m_db->MM.QueryCount("", "CATE", "CD=22"), 0);
    }

    // Only the script's own COMMIT makes its work durable; work after it is rolled back.
    void commitAndRollbackEndTheTransaction() {
        m_db->SCR.RunScript("insert into cate (cd, pcd, title) values (30, 0, 'kept');\n"
                            "COMMIT;\n"
                            "insert into cate (cd, pcd, title) values (31, 0, 'undone');\n"
                            "ROLLBACK;\n"
                            "insert into cate (cd, pcd, title) values (32, 0, 'pending');\n");
        m_db->MDB.close(); // ends the transaction the way the end of the program does
        m_db->SYS_MDB.close();
        Databases again;
        again.open(m_tmp->dataPath(), m_tmp->sysPath());
        QCOMPARE(again.MM.QueryCount("", "CATE", "CD=30"), 1);
        QCOMPARE(again.MM.QueryCount("", "CATE", "CD IN (31, 32)"), 0);
    }

    void definitionsAndTriggersFromAScript() {
        m_db->SCR.RunScript("SET SQL DIALECT 3;\nSET NAMES NONE;\nSET STATISTICS ON;\n"
                            "CREATE TABLE EXTRA (ID INTEGER, TXT VARCHAR(20));\n"
                            "SET TERM !! ;\n"
                            "CREATE TRIGGER EXTRA_BI FOR EXTRA BEFORE INSERT AS\n"
                            "BEGIN NEW.TXT = UPPER(NEW.TXT); END!!\n"
                            "SET TERM ; !!\n"
                            "INSERT INTO EXTRA VALUES (1, 'abc');\n"
                            "COMMIT;\n");
        QCOMPARE(m_db->SCR.skippedCount(), 0);
        QCOMPARE(m_db->MM.QueryText("TXT", "EXTRA", "ID=1"), QStringLiteral("ABC"));
    }

    void createDatabaseAndConnect() {
        const QString path = m_tmp->root() + "/temp/NEW.FDB";
        Connection connection;
        Transaction transaction(connection);
        ScriptRunner runner(transaction);
        runner.RunScript(QString("CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'morvan52';\n"
                                 "CREATE TABLE T (A INTEGER);\n"
                                 "INSERT INTO T VALUES (5);\nCOMMIT;\n"
                                 "CONNECT '%2';\n"
                                 "INSERT INTO CATE (CD, PCD, TITLE) VALUES (40, 0, 'x');\n"
                                 "COMMIT;\nRECONNECT;\n")
                             .arg(path, m_tmp->dataPath()));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(connection.databaseName(), m_tmp->dataPath());
        QCOMPARE(m_db->MM.QueryCount("", "CATE", "CD=40"), 1);
    }

private:
    std::unique_ptr<OpenTempDatabase> m_open;
    TempDatabase* m_tmp = nullptr;
    Databases* m_db = nullptr;
};

QTEST_GUILESS_MAIN(ScriptRunnerTest)
#include "tst_scriptrunner.moc"
