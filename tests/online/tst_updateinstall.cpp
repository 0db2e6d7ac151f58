// Installing a downloaded update: real update sets from tk-updateset, real volumes in a real
// program folder, real databases.
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "data/Databases.h"
#include "online/UpdateArchive.h"
#include "online/UpdateInstaller.h"
#include "online/UpdateQueue.h"

#include <QtTest>

namespace {
const QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// What a second connection sees: only committed work.
QString committed(const TempDatabase& files, const QString& sql, bool data) {
    Databases other;
    other.open(files.dataPath(), files.sysPath());
    SingleValueHelper& mm = data ? other.MM : other.SYS_MM;
    return mm.QueryText(sql.section(u'|', 0, 0), sql.section(u'|', 1, 1), sql.section(u'|', 2));
}
} // namespace

class UpdateInstallTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_db = std::make_unique<OpenTempDatabase>();
        m_set = std::make_unique<UpdateSetFixture>();
    }
    void cleanup() {
        m_db.reset();
        m_set.reset();
    }

    void installsFilesReplicaAndScripts() {
        m_set->addFile("bin/tessaro-kavelin", UpdateSetFixture::noise(600000), Executable);
        m_set->addFile("templates/PD_DV.TEMPLATE.RTF", "{\\rtf1 new}");
        m_set->addFile("replica", "#!/bin/sh\n", Executable);
        m_set->addFile("templates/Ünïcode اردو.RTF", "named in two scripts");
        m_set->addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                      "(99001, 0, 'Ünïcode Town', '099');\n"
                                      "INSERT INTO NO_SUCH_TABLE VALUES (1);\n"
                                      "COMMIT;\n");
        m_set->addFile("sys_100.sql", "UPDATE HVX SET COM='101' WHERE ID=1;\n");
        QCOMPARE(m_set->build("256k"), 0);
        QCOMPARE(m_set->partCount(), 3);
        m_set->placeDownloaded(m_db->db, temp());

        UpdateInstaller installer(m_db->db, bin());
        QSignalSpy progress(&installer, &UpdateInstaller::progressChanged);
        QSignalSpy captions(&installer, &UpdateInstaller::captionChanged);
        QVERIFY2(installer.install(), qPrintable(installer.error()));

        QCOMPARE(readAll(temp() + "/file/templates/PD_DV.TEMPLATE.RTF"), "{\\rtf1 new}");
        QCOMPARE(readAll(temp() + "/file/templates/Ünïcode اردو.RTF"), "named in two scripts");
        QVERIFY(QFileInfo(temp() + "/file/bin/tessaro-kavelin").isExecutable());
        QCOMPARE(readAll(bin() + "/replica"), "#!/bin/sh\n");
        QVERIFY(QFileInfo(bin() + "/replica").isExecutable());
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99001", true), QString("Ünïcode Town"));
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=1", false), QString("101"));
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("3"));

        QCOMPARE(captions.first().first().toString(), UpdateInstaller::ExtractingCaption);
        QCOMPARE(captions.last().first().toString(), UpdateInstaller::UpdatingCaption);
        // Extraction moves the bar through values between 0 and 100, then the script steps.
        QList<int> values;
        for (const QList<QVariant>& s : progress)
            values << s.first().toInt();
        const int scripts = values.lastIndexOf(0);
        QCOMPARE(values.mid(scripts), (QList<int>{0, 30, 75, 100}));
        const QList<int> extraction = values.mid(0, scripts);
        QVERIFY(std::is_sorted(extraction.begin(), extraction.end()));
        QVERIFY(std::any_of(extraction.begin(), extraction.end(),
                            [](int v) { return v > 0 && v < 100; }));
        QCOMPARE(extraction.last(), 100);
    }

    void oldUnpackedFilesAreRemovedFirst() {
        QDir().mkpath(temp() + "/file/stale/ro");
        QFile(temp() + "/file/stale/ro").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        m_set->addFile("bin/new.txt", "new");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY(installer.install());
        QVERIFY(!QFileInfo::exists(temp() + "/file/stale"));
        QCOMPARE(readAll(temp() + "/file/bin/new.txt"), "new");
    }

    // A set without scripts or updater copy installs; the version row missing means the
    // scripts are looked for as prs_.sql and sys_.sql.
    void emptyVersionAndNoScripts() {
        m_db->db.SYS_MM.ExecStatement("delete from hvx where id=1");
        m_set->addFile("sys_.sql", "INSERT INTO HVX (ID, COM) VALUES (7, 'no version');\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY(installer.install());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=7", false), QString("no version"));
        QVERIFY(!QFileInfo::exists(bin() + "/replica"));
    }

    void failuresLeaveStateAndDatabasesAlone_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("first volume missing") << "missing";
        QTest::newRow("not a 7z archive") << "garbage";
        QTest::newRow("last volume cut short") << "truncated";
        QTest::newRow("unreadable data script") << "script";
    }
    void failuresLeaveStateAndDatabasesAlone() {
        QFETCH(QString, damage);
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(400000));
        m_set->addFile(damage == "script" ? "prs_100.sql/oops" : "prs_100.sql",
                       "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES (99002, 0, 'X', '1');"
                       "COMMIT;");
        QCOMPARE(m_set->build("256k"), 0);
        m_set->placeDownloaded(m_db->db, temp());
        if (damage == "missing")
            QFile::remove(temp() + "/file.zup.001");
        if (damage == "garbage")
            writeNoise(temp() + "/file.zup.001");
        if (damage == "truncated")
            QFile::resize(temp() + "/file.zup.002", 1000);

        UpdateInstaller installer(m_db->db, bin());
        QVERIFY(!installer.install());
        QVERIFY(!installer.error().isEmpty());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("2"));
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99002", true), QString());
    }

    void unsafeEntryPaths() {
        QVERIFY(UpdateArchive::isSafeEntryPath("file/bin/tessaro-kavelin"));
        QVERIFY(!UpdateArchive::isSafeEntryPath("file/../bin/tessaro-kavelin"));
        QVERIFY(!UpdateArchive::isSafeEntryPath("/etc/passwd"));
        QVERIFY(!UpdateArchive::isSafeEntryPath("file.zup.001"));
        QVERIFY(!UpdateArchive::isSafeEntryPath("file\\..\\x"));
    }

    // Start-up with state 2 checks every downloaded part; a damaged one is fetched again.
    void integrityCheckQueuesDamagedPartsAgain() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(400000));
        QCOMPARE(m_set->build("256k"), 0);
        m_set->placeDownloaded(m_db->db, temp());
        UpdateQueue queue(m_db->db.SYS_MM, temp());
        QVERIFY(queue.Che_Upd_Intg());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("2"));

        QFile part(temp() + "/file.zup.002");
        QVERIFY(part.open(QIODevice::ReadWrite));
        part.seek(100);
        part.write("x");
        part.close();
        QVERIFY(!queue.Che_Upd_Intg());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("1"));
        QCOMPARE(committed(m_db->files, "ID|HVXUPD|ST IS NULL", false), QString("2"));
        QCOMPARE(queue.nextPending()->id, 2);
    }

    void successMarkerConfirmsOnce() {
        m_db->db.SYS_MM.ExecStatement("update hvx set com=3 where id=4");
        m_db->db.SYS_DTR.CommitRetaining();
        UpdateQueue queue(m_db->db.SYS_MM, temp());
        QVERIFY(!queue.Che_Suc_Upd());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("3"));
        QFile(temp() + "/replica.ok").open(QIODevice::WriteOnly);
        QVERIFY(queue.Che_Suc_Upd());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("0"));
        QVERIFY(!QFileInfo::exists(temp() + "/replica.ok"));
    }

    void toolRefusesBadInput() {
        QCOMPARE(m_set->build("ten"), 1);
        QVERIFY(m_set->toolOutput().contains("not a volume size"));
        QVERIFY(!QFileInfo::exists(m_set->updateDir()));
    }

private:
    QString bin() const { return m_db->files.binDir(); }
    QString temp() const { return m_db->files.root() + "/temp"; }
    static void writeNoise(const QString& path) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(UpdateSetFixture::noise(4096, 7));
    }

    std::unique_ptr<OpenTempDatabase> m_db;
    std::unique_ptr<UpdateSetFixture> m_set;
};

QTEST_GUILESS_MAIN(UpdateInstallTest)
#include "tst_updateinstall.moc"
