// Date and time values given as statement parameters, as the editing objects pass back the
// columns they read.
#include "TempDatabase.h"
#include "data/DataSetEditor.h"
#include "data/Databases.h"
#include "data/Query.h"

#include <QtTest>

class TemporalParamsTest : public QObject {
    Q_OBJECT
private slots:
    void dateTimesRoundTrip() {
        TempDatabase tmp;
        Databases db;
        db.open(tmp.dataPath(), tmp.sysPath());
        const QDateTime stamp(QDate(2024, 1, 2), QTime(3, 4, 5, 678));
        Query insert(db.DTR);
        insert.setSql("insert into cont (cd, cnam, ct) values (1, 'A', :CT)");
        insert.setParam("CT", stamp);
        QCOMPARE(insert.execute(), 1);
        Query read(db.DTR);
        read.setSql("select ct, cast(ct as date) from cont where cd=1");
        read.open();
        QCOMPARE(read.value(0).toDateTime(), stamp);
        // A date parameter compared with a date column.
        Query byDate(db.DTR);
        byDate.setSql("select count(*) from cont where cast(ct as date) = :D");
        byDate.setParam("D", QDate(2024, 1, 2));
        byDate.open();
        QCOMPARE(byDate.value(0).toInt(), 1);
        // An editing object writes the timestamps it read back unchanged.
        DataSetEditor cdt(db.DTR);
        cdt.setSelectSql("select * from cont where cd=:VL");
        cdt.setModifySql("update cont set cnam=:CNAM, ct=:CT, lu=:LU where cd=:OLD_CD");
        cdt.setParam("VL", 1);
        cdt.open();
        cdt.edit();
        cdt.setField("CNAM", "B");
        cdt.post();
        QCOMPARE(db.MM.QueryText("CNAM", "CONT", "CD=1"), QStringLiteral("B"));
        QCOMPARE(db.MM.QueryCount(QString(), "CONT", "CD=1 AND LU IS NULL"), 1);
        read.open();
        QCOMPARE(read.value(0).toDateTime(), stamp);
    }
};

QTEST_GUILESS_MAIN(TemporalParamsTest)
#include "tst_temporalparams.moc"
