// Installing a downloaded update: real update sets from tk-updateset, real volumes in a real
// program folder, real databases.
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "data/Connection.h"
#include "data/DatabaseBuilder.h"
#include "data/Databases.h"
#include "data/FbClient.h"
#include "data/Transaction.h"
#include "online/UpdateArchive.h"
#include "online/UpdateInstaller.h"
#include "online/UpdateQueue.h"
#include "online/UpdateSignature.h"

#include <QtTest>
#include <csignal>
#include <sys/stat.h>

namespace {
constexpr int BulkRows = 6000;
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

    // A damaged entry (its checksum does not match) is passed over and named; the other
    // files and the scripts are installed.
    void damagedEntryIsPassedOver() {
        m_set->addFile("bin/a.bin", UpdateSetFixture::noise(200000, 11));
        m_set->addFile("bin/b.bin", UpdateSetFixture::noise(200000, 12));
        m_set->addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                      "(99005, 0, 'Still Installed', '05');\nCOMMIT;\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        // Noise is stored as it is, so one changed byte only breaks that file's checksum.
        QFile volume(temp() + "/file.zup.001");
        QVERIFY(volume.open(QIODevice::ReadWrite));
        volume.seek(32 + 100000);
        const char byte = volume.peek(1).at(0);
        volume.write(QByteArray(1, char(byte ^ 0x5A)));
        volume.close();

        UpdateInstaller installer(m_db->db, bin());
        QVERIFY2(installer.install(), qPrintable(installer.error()));
        const bool aKept = QFileInfo::exists(temp() + "/file/bin/a.bin");
        const bool bKept = QFileInfo::exists(temp() + "/file/bin/b.bin");
        QVERIFY(aKept != bKept);
        const QString kept = aKept ? "a.bin" : "b.bin";
        QCOMPARE(readAll(temp() + "/file/bin/" + kept),
                 UpdateSetFixture::noise(200000, aKept ? 11 : 12));
        QCOMPARE(installer.notUnpacked().size(), 1);
        QVERIFY(installer.notUnpacked().first().startsWith(QString("file/bin/") +
                                                           (aKept ? "b.bin" : "a.bin")));
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99005", true), QString("Still Installed"));
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("3"));
    }

    // Entries outside the update folder are passed over and named, never a refusal of the set;
    // a plain file named like the folder is one of them.
    void entriesOutsideTheFolderArePassedOver() {
        m_set->addFile("file/bin/good.txt", "good");
        m_set->addFile("stray.txt", "outside");
        QCOMPARE(m_set->buildRaw({"file", "stray.txt"}), 0);
        m_set->placeDownloaded(m_db->db, temp());
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY2(installer.install(), qPrintable(installer.error()));
        QCOMPARE(readAll(temp() + "/file/bin/good.txt"), "good");
        QVERIFY(!QFileInfo::exists(temp() + "/stray.txt"));
        QCOMPARE(installer.notUnpacked().size(), 1);
        QVERIFY(installer.notUnpacked().first().startsWith("stray.txt: "));

        UpdateSetFixture plain;
        plain.addFile("file", "a file, not the folder");
        QCOMPARE(plain.buildRaw({"file"}), 0);
        m_db->db.SYS_MM.ExecStatement("delete from hvxupd");
        plain.placeDownloaded(m_db->db, temp());
        UpdateInstaller again(m_db->db, bin());
        QVERIFY2(again.install(), qPrintable(again.error()));
        // The updater finds its folder, empty.
        QVERIFY(QFileInfo(temp() + "/file").isDir());
        QVERIFY(QDir(temp() + "/file").isEmpty());
        QCOMPARE(again.notUnpacked().size(), 1);
    }

    // What the updater could not put in place stops the installation before any script runs.
    void filesThatCannotBePutInPlace_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("inTheWay");
        QTest::newRow("folder over the program") << "bin/tessaro-kavelin/x"
                                                 << "bin/tessaro-kavelin";
        QTest::newRow("file over a folder") << "templates"
                                            << "templates";
    }
    void filesThatCannotBePutInPlace() {
        QFETCH(QString, entry);
        QFETCH(QString, inTheWay);
        QFile program(bin() + "/tessaro-kavelin");
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.close();
        QDir().mkpath(m_db->files.root() + "/templates");
        m_set->addFile(entry, "in the way");
        m_set->addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                      "(99006, 0, 'Never', '06');\nCOMMIT;\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY(!installer.install());
        QVERIFY2(installer.error().contains(inTheWay), qPrintable(installer.error()));
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99006", true), QString());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("2"));
    }

    // A set whose files would not fit beside the reserve is refused before anything is
    // written; one that fits with the reserve is unpacked.
    void setThatWouldNotFitIsRefused() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(300000));
        m_set->addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                      "(99007, 0, 'Too Big', '07');\nCOMMIT;\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        qint64 free = UpdateArchive::ReservedBytes + 300000 - 1;
        UpdateArchive::setFreeSpaceProbe([&free](const QString&) { return free; });
        UpdateInstaller refused(m_db->db, bin());
        const bool installed = refused.install();
        UpdateArchive::setFreeSpaceProbe({});
        QVERIFY(!installed);
        QVERIFY2(refused.error().startsWith("Not enough free disk space"),
                 qPrintable(refused.error()));
        QVERIFY(!QFileInfo::exists(temp() + "/file"));
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99007", true), QString());
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("2"));

        free = UpdateArchive::ReservedBytes + 400000;
        UpdateArchive::setFreeSpaceProbe([&free](const QString&) { return free; });
        UpdateInstaller fits(m_db->db, bin());
        const bool fitted = fits.install();
        UpdateArchive::setFreeSpaceProbe({});
        QVERIFY2(fitted, qPrintable(fits.error()));
        QCOMPARE(readAll(temp() + "/file/bin/data.bin"), UpdateSetFixture::noise(300000));
    }

    // A data script killed half way goes on after its last recorded COMMIT: every row once.
    void killedScriptGoesOnWhereItStopped() {
        QByteArray script = "CREATE TABLE BULK_ROWS (N INTEGER);\n";
        for (int i = 1; i <= BulkRows; ++i) {
            script += "INSERT INTO BULK_ROWS (N) VALUES (" + QByteArray::number(i) + ");\n";
            if (i % 250 == 0)
                script += "COMMIT;\n";
        }
        m_set->addFile("prs_100.sql", script);
        m_set->addFile("sys_100.sql", "INSERT INTO HVX (ID, COM) VALUES (9, 'once');\nCOMMIT;\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        // The probe process opens the databases itself: the engine gives a file to one process.
        const TempDatabase& files = m_db->files;
        closeDatabases();

        QProcess probe;
        probe.start(TK_INSTALL_PROBE_PATH, {files.binDir(), files.dataPath(), files.sysPath()});
        QVERIFY(probe.waitForStarted(10000));
        // Killed once a few commits are recorded, while it goes on inserting.
        QByteArray seen;
        while (seen.count("committed prs_100.sql") < 4 && probe.state() == QProcess::Running) {
            probe.waitForReadyRead(1000);
            seen += probe.readAllStandardOutput();
        }
        ::kill(pid_t(probe.processId()), SIGKILL);
        QVERIFY(probe.waitForFinished(10000));
        QVERIFY2(!seen.contains("installed"), seen.constData());

        m_db->db.open(files.dataPath(), files.sysPath());
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY2(installer.install(), qPrintable(installer.error()));
        QCOMPARE(committed(files, "COUNT(*)|BULK_ROWS|", true), QString::number(BulkRows));
        QCOMPARE(committed(files, "COUNT(DISTINCT N)|BULK_ROWS|", true), QString::number(BulkRows));
        QCOMPARE(committed(files, "COUNT(*)|HVX|ID=9", false), QString("1"));
        // Nothing is left to resume once the installation is recorded.
        QCOMPARE(committed(files, "COUNT(*)|HVXSCR|", false), QString("0"));
    }

    // The engine's memory-mapped lock files own their disk blocks once the databases are
    // open, so a disk filled afterwards cannot end the program when the engine touches them.
    void engineLockFilesOwnTheirBlocks() {
        // The files this process maps (other tests' processes share the folder).
        const QString lockDir = QDir(FbClient::defaultLockDirectory()).canonicalPath();
        QFile maps("/proc/self/maps");
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QSet<QString> mapped;
        for (const QByteArray& line : maps.readAll().split('\n')) {
            const qsizetype at = line.indexOf('/');
            if (at >= 0 && line.mid(at).startsWith(QFile::encodeName(lockDir + '/')))
                mapped << QFile::decodeName(line.mid(at));
        }
        QVERIFY(!mapped.isEmpty());
        for (const QString& path : mapped) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
            QVERIFY2(qint64(st.st_blocks) * 512 >= FbClient::LockFileReserve, qPrintable(path));
        }
    }

    // A system database made before the progress table gets it at staging, rows untouched.
    void olderDatabaseGetsTheNewTable() {
        QTemporaryDir dir;
        QFile schema(TK_SCHEMA_DIR "/SYS.sql");
        QVERIFY(schema.open(QIODevice::ReadOnly));
        QString older = QString::fromUtf8(schema.readAll());
        const qsizetype from = older.indexOf("CREATE TABLE HVXSCR");
        older.remove(from, older.indexOf(");", from) + 2 - from);
        QFile oldSchema(dir.path() + "/old.sql");
        QVERIFY(oldSchema.open(QIODevice::WriteOnly));
        oldSchema.write(older.toUtf8());
        oldSchema.close();
        const QString path = dir.path() + "/SYS.FDB";
        DatabaseBuilder::create(path, oldSchema.fileName());
        QCOMPARE(DatabaseBuilder::addMissingTables(path, TK_SCHEMA_DIR "/SYS.sql"),
                 QStringList{"HVXSCR"});
        QCOMPARE(DatabaseBuilder::addMissingTables(path, TK_SCHEMA_DIR "/SYS.sql"), QStringList());
        Connection connection;
        connection.setDatabaseName(path);
        connection.open();
        Transaction transaction(connection);
        SingleValueHelper mm(transaction);
        QCOMPARE(mm.QueryText("COM", "HVX", "ID=1"), QString("100"));
        QCOMPARE(mm.QueryCount(QString(), "HVXSCR"), 0);
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
        m_set->addFile("bin/a.txt", "a");
        // No set is published unsigned, nor signed with what is not a secret key.
        QCOMPARE(m_set->build("10m", m_set->sourceDir() + "/bin/a.txt"), 1);
        QVERIFY(m_set->toolOutput().contains("not a secret key"));
        QCOMPARE(m_set->build("10m", m_set->root() + "/no-such.key"), 1);
        QVERIFY(!QFileInfo::exists(m_set->updateDir()));
        QCOMPARE(m_set->sign(), 1);
        QVERIFY(m_set->toolOutput().contains("no fingerprint.txt and parts.txt"));
    }

    // The signature covers the served fingerprint.txt and parts.txt behind a fixed prefix;
    // the program's reading of the replies (CR LF line ends, any order) gives the same bytes.
    void signatureCoversTheServedLists() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(400000));
        QCOMPARE(m_set->build("256k"), 0);
        const auto signature = UpdateSignature::parse(QString::fromLatin1(m_set->signature()));
        QVERIFY(signature);
        QVERIFY(UpdateSignature::verify("Tessaro Kavelin update set\n" +
                                            readAll(m_set->updateDir() + "/fingerprint.txt") +
                                            m_set->partList(),
                                        *signature));
        QStringList lines = QString::fromLatin1(m_set->partList()).trimmed().split('\n');
        std::reverse(lines.begin(), lines.end());
        const auto parts = UpdateQueue::parsePartList(lines);
        QVERIFY(parts);
        const QString fingerprint = QString::fromLatin1(m_set->fingerprint());
        QVERIFY(UpdateSignature::verify(UpdateSignature::message(fingerprint, *parts), *signature));
        QVERIFY(!UpdateSignature::verify(UpdateSignature::message(fingerprint.toLower(), *parts),
                                         *signature));
        QVERIFY(!UpdateSignature::verify(UpdateSignature::message(fingerprint, parts->mid(1)),
                                         *signature));
    }

    // Key pairs: the secret half is the owner's alone, and no key is ever overwritten.
    void toolMakesKeyPairs() {
        const QString prefix = m_set->root() + "/maker";
        QCOMPARE(m_set->makeKey(prefix), 0);
        QCOMPARE(QFile::permissions(prefix + ".key"),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const QByteArray secret = readAll(prefix + ".key");
        QCOMPARE(m_set->makeKey(prefix), 1);
        QVERIFY(m_set->toolOutput().contains("never overwritten"));
        QCOMPARE(readAll(prefix + ".key"), secret);
        m_set->addFile("bin/a.txt", "a");
        QCOMPARE(m_set->build("10m", prefix + ".key"), 0);
        QVERIFY(m_set->toolOutput().contains("does not trust this key"));
    }

    // The installer itself unpacks nothing of a set whose stored signature does not hold.
    void installerRefusesAnUnsignedState() {
        m_set->addFile("prs_100.sql", "INSERT INTO CTRY (CD, PCD, TITLE, CODE) VALUES "
                                      "(99010, 0, 'Never', '10');\nCOMMIT;\n");
        QCOMPARE(m_set->build(), 0);
        m_set->placeDownloaded(m_db->db, temp());
        m_db->db.SYS_MM.ExecStatement("update hvxupd set hsh=lower(hsh)");
        m_db->db.SYS_DTR.CommitRetaining();
        UpdateInstaller installer(m_db->db, bin());
        QVERIFY(!installer.install());
        QVERIFY(installer.error().contains("signature"));
        QVERIFY(!QFileInfo::exists(temp() + "/file"));
        QCOMPARE(committed(m_db->files, "COM|HVX|ID=4", false), QString("2"));
        QCOMPARE(committed(m_db->files, "TITLE|CTRY|CD=99010", true), QString());
    }

private:
    void closeDatabases() {
        m_db->db.DTR.rollback();
        m_db->db.SYS_DTR.rollback();
        m_db->db.MDB.close();
        m_db->db.SYS_MDB.close();
    }
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
