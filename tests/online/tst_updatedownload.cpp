// The running program's update check and download against the reference service on loopback:
// the main window's timers (intervals shortened), the real service client, a real database.
#include "ServiceProcess.h"
#include "TempDatabase.h"
#include "UpdateSetFixture.h"
#include "app/SettingsStore.h"
#include "app/TMF.h"
#include "online/UpdateTimer.h"

#include <QCryptographicHash>
#include <QTemporaryFile>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

namespace {
QStringList updateRequests(const QStringList& requests) {
    QStringList out;
    for (const QString& r : requests)
        if (r.startsWith("/hvx/getupd.php?"))
            out << r.mid(16);
    return out;
}

// What the program writes to standard error while it lives, read when it ends.
class StderrCapture {
public:
    StderrCapture() : m_saved(::dup(2)) {
        m_file.open();
        ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }
    QByteArray text() {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved;
};

void writeText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}
} // namespace

class UpdateDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        m_home = QDir::currentPath();
        m_tmp = std::make_unique<TempDatabase>();
        QVERIFY(QDir::setCurrent(m_tmp->binDir()));
        m_set = std::make_unique<UpdateSetFixture>();
        TMF::setTrayAvailableOverride(false);
        TMF::setUpdateIntervalOverride(40);
    }
    void cleanup() {
        m_tmf.reset();
        TMF::setUpdateIntervalOverride(std::nullopt);
        TMF::setTrayAvailableOverride(std::nullopt);
        QDir::setCurrent(m_home);
        m_service.reset();
        m_set.reset();
        m_tmp.reset();
    }

    // A new set: its three parts are fetched one per run in number order, then state 2.
    void newSetIsQueuedAndFetchedInOrder() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(600000));
        QCOMPARE(m_set->build("256k"), 0);
        QCOMPARE(m_set->partCount(), 3);
        start();
        QTRY_COMPARE_WITH_TIMEOUT(sys("COM|HVX|ID=4"), QString("2"), 30000);
        QCOMPARE(updateRequests(m_service->requests()),
                 (QStringList{"hsh=yes 200", "hsh=more 200", "file=file.sig 200",
                              "file=file.zup.001 200", "file=file.zup.002 200",
                              "file=file.zup.003 200"}));
        QCOMPARE(sys("COM|HVX|ID=3"), QString::fromLatin1(m_set->fingerprint()));
        QCOMPARE(sys("COM|HVX|ID=2"), QString::fromLatin1(m_set->signature()));
        QCOMPARE(sys("COUNT(*)|HVXUPD|ST=1"), QString("3"));
        for (const char* part : {"001", "002", "003"})
            QCOMPARE(readAll(temp() + "/file.zup." + part),
                     readAll(m_set->updateDir() + "/file.zup." + part));
        QVERIFY(!m_tmf->UPD_CHE.isActive());
        QVERIFY(!m_tmf->UPD_DL.isActive());
    }

    // A part on disk with the right digest is kept; a damaged download is fetched again.
    void keptPartsAndDamagedDownloads() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(600000));
        QCOMPARE(m_set->build("256k"), 0);
        QVERIFY(QFile::copy(m_set->updateDir() + "/file.zup.002", temp() + "/file.zup.002"));
        writeText(temp() + "/file.zup.003", "left over from an earlier set");
        const QByteArray good = readAll(m_set->updateDir() + "/file.zup.001");
        writeText(m_set->updateDir() + "/file.zup.001", good.left(1000));
        start();
        QTRY_VERIFY_WITH_TIMEOUT(
            updateRequests(m_service->requests()).count("file=file.zup.001 200") >= 2, 30000);
        QCOMPARE(sys("COM|HVX|ID=4"), QString("1"));
        writeText(m_set->updateDir() + "/file.zup.001", good);
        QTRY_COMPARE_WITH_TIMEOUT(sys("COM|HVX|ID=4"), QString("2"), 30000);
        const QStringList files = updateRequests(m_service->requests()).filter("file=");
        QVERIFY(!files.contains("file=file.zup.002 200"));
        QCOMPARE(files.last(), QString("file=file.zup.003 200"));
        QCOMPARE(readAll(temp() + "/file.zup.001"), good);
    }

    // The stored fingerprint offered again in other letters: nothing is queued, the check stops.
    void sameFingerprintInOtherCase() {
        writeText(m_set->updateDir() + "/fingerprint.txt", "ABCDEF0123\r\nignored\r\n");
        writeText(m_set->updateDir() + "/parts.txt", "1,'0123456789abcdef0123456789abcdef'\n");
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            db.SYS_MM.ExecStatement("update hvx set com='abcdef0123' where id=3");
            db.SYS_DTR.CommitRetaining();
        }
        start();
        QTRY_VERIFY_WITH_TIMEOUT(!m_tmf->UPD_CHE.isActive(), 30000);
        QCOMPARE(updateRequests(m_service->requests()), QStringList{"hsh=yes 200"});
        QCOMPARE(sys("COM|HVX|ID=4"), QString("0"));
        QVERIFY(!m_tmf->UPD_DL.isActive());
    }

    // A part list that is not entirely of the form N,'32 hex digits' stores nothing, and
    // the check goes on asking.
    void unusablePartLists_data() {
        QTest::addColumn<QByteArray>("parts");
        const QByteArray digest = "'0123456789abcdef0123456789abcdef'";
        QTest::newRow("empty list") << QByteArray("\r\n");
        QTest::newRow("injected statement")
            << "1," + digest + "\n2," + digest + ");delete from hvx where (1=1\n";
        QTest::newRow("short digest") << QByteArray("1,'0123'\n");
        QTest::newRow("number twice") << "1," + digest + "\n1," + digest + "\n";
        QTest::newRow("number too large") << "99999999999," + digest + "\n";
    }
    void unusablePartLists() {
        QFETCH(QByteArray, parts);
        writeText(m_set->updateDir() + "/fingerprint.txt", "NEW'FINGERPRINT\n");
        writeText(m_set->updateDir() + "/parts.txt", parts);
        start();
        QTRY_VERIFY_WITH_TIMEOUT(updateRequests(m_service->requests()).count("hsh=yes 200") >= 3,
                                 30000);
        QVERIFY(m_tmf->UPD_CHE.isActive());
        QCOMPARE(sys("COUNT(*)|HVX"), QString("3"));
        QCOMPARE(sys("COUNT(*)|HVXUPD"), QString("0"));
        QCOMPARE(sys("COM|HVX|ID=3"), QString());
        QCOMPARE(sys("COM|HVX|ID=4"), QString("0"));
    }

    // Part 1000 is the file file.zup.1000; a quote in the fingerprint is stored as it is.
    void partThousandAndQuotedFingerprint() {
        const QByteArray bytes = UpdateSetFixture::noise(4096, 3);
        writeText(m_set->updateDir() + "/file.zup.1000", bytes);
        writeText(m_set->updateDir() + "/fingerprint.txt", "it's new\n");
        writeText(m_set->updateDir() + "/parts.txt",
                  "1000,'" + QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex() +
                      "'\n");
        QCOMPARE(m_set->sign(), 0);
        start();
        QTRY_COMPARE_WITH_TIMEOUT(sys("COM|HVX|ID=4"), QString("2"), 30000);
        QCOMPARE(readAll(temp() + "/file.zup.1000"), bytes);
        QCOMPARE(sys("COM|HVX|ID=3"), QString("it's new"));
        QVERIFY(updateRequests(m_service->requests()).contains("file=file.zup.1000 200"));
    }

    // A set the development key did not sign exactly as offered is never queued: nothing is
    // stored or fetched, and the check goes on asking.
    void untrustedSetsAreRefused_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("unsigned") << "unsigned";
        QTest::newRow("signed with another key") << "otherkey";
        QTest::newRow("part list changed after signing") << "parts";
        QTest::newRow("fingerprint changed after signing") << "fingerprint";
        QTest::newRow("signature not hexadecimal") << "garbage";
    }
    void untrustedSetsAreRefused() {
        QFETCH(QString, fault);
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(1000));
        const QString otherKey = m_set->root() + "/other";
        QCOMPARE(m_set->makeKey(otherKey), 0);
        QCOMPARE(m_set->build("10m", fault == "otherkey" ? otherKey + ".key"
                                                         : UpdateSetFixture::developmentKey()),
                 0);
        const QString dir = m_set->updateDir();
        if (fault == "unsigned")
            QVERIFY(QFile::remove(dir + "/file.sig"));
        if (fault == "parts") {
            // A second part a hostile server slipped in, with a correct digest of its own.
            writeText(dir + "/file.zup.002", "#!/bin/sh\n");
            writeText(dir + "/parts.txt",
                      m_set->partList() + "2,'" +
                          QCryptographicHash::hash("#!/bin/sh\n", QCryptographicHash::Md5).toHex() +
                          "'\n");
        }
        if (fault == "fingerprint")
            writeText(dir + "/fingerprint.txt", "0" + m_set->fingerprint() + "\n");
        if (fault == "garbage")
            writeText(dir + "/file.sig", "not a signature\n");
        StderrCapture errors;
        start();
        QTRY_VERIFY_WITH_TIMEOUT(updateRequests(m_service->requests()).count("hsh=yes 200") >= 3,
                                 30000);
        // One line for the refused set, however often it is offered.
        const QStringList lines =
            QString::fromLocal8Bit(errors.text()).split('\n').filter("update set");
        QCOMPARE(lines, QStringList{fault == "unsigned"
                                        ? "tessaro-kavelin: update set refused: it is not signed"
                                        : "tessaro-kavelin: update set refused: its signature "
                                          "is wrong"});
        QVERIFY(m_tmf->UPD_CHE.isActive());
        QVERIFY(updateRequests(m_service->requests()).filter("file=file.zup").isEmpty());
        QCOMPARE(sys("COUNT(*)|HVXUPD"), QString("0"));
        QCOMPARE(sys("COM|HVX|ID=3"), QString());
        QCOMPARE(sys("COM|HVX|ID=4"), QString("0"));
        QCOMPARE(QDir(temp()).entryList({"file.zup.*"}, QDir::Files), QStringList());
    }

    // An unsigned set offered while a signed one waits for installation changes nothing of it.
    void unsignedOfferLeavesTheQueuedSetAlone() {
        UpdateSetFixture queued;
        queued.addFile("bin/data.bin", UpdateSetFixture::noise(1000, 2));
        QCOMPARE(queued.build(), 0);
        {
            Databases db;
            db.open(m_tmp->dataPath(), m_tmp->sysPath());
            queued.placeDownloaded(db, temp());
        }
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(1000, 3));
        QCOMPARE(m_set->build(), 0);
        QVERIFY(QFile::remove(m_set->updateDir() + "/file.sig"));
        start();
        QTRY_VERIFY_WITH_TIMEOUT(updateRequests(m_service->requests()).count("hsh=yes 200") >= 3,
                                 30000);
        QCOMPARE(sys("COM|HVX|ID=4"), QString("2"));
        QCOMPARE(sys("COM|HVX|ID=3"), QString::fromLatin1(queued.fingerprint()));
        QCOMPARE(sys("HSH|HVXUPD|ID=1"), QString::fromLatin1(queued.partList().mid(3, 32)));
        QVERIFY(m_tmf->databases().SYS_MM.QueryCount("ID", "HVXUPD") == 1);
        QCOMPARE(readAll(temp() + "/file.zup.001"), readAll(queued.updateDir() + "/file.zup.001"));
    }

    // A set refused as unsigned is taken once the maker has signed it, in the same run.
    void setSignedLaterIsTaken() {
        m_set->addFile("bin/data.bin", UpdateSetFixture::noise(1000));
        QCOMPARE(m_set->build(), 0);
        QVERIFY(QFile::rename(m_set->updateDir() + "/file.sig", m_set->root() + "/file.sig"));
        start();
        QTRY_VERIFY_WITH_TIMEOUT(
            updateRequests(m_service->requests()).contains("file=file.sig 404"), 30000);
        QCOMPARE(sys("COM|HVX|ID=4"), QString("0"));
        QVERIFY(QFile::rename(m_set->root() + "/file.sig", m_set->updateDir() + "/file.sig"));
        QTRY_COMPARE_WITH_TIMEOUT(sys("COM|HVX|ID=4"), QString("2"), 30000);
        QCOMPARE(readAll(temp() + "/file.zup.001"), readAll(m_set->updateDir() + "/file.zup.001"));
    }

private:
    QString temp() const { return m_tmp->root() + "/temp"; }
    QString sys(const QString& what) {
        return m_tmf->databases().SYS_MM.QueryText(what.section('|', 0, 0), what.section('|', 1, 1),
                                                   what.section('|', 2));
    }
    void start() {
        m_service = std::make_unique<ServiceProcess>(m_set->root());
        QVERIFY(m_service->isRunning());
        {
            SettingsStore store(m_tmp->binDir() + "/settings.xml");
            store.WriteText("SERVICE\\BASE0", m_service->base());
            store.WriteText("SERVICE\\BASE1", m_service->base());
            QVERIFY(store.Flush());
        }
        m_tmf = std::make_unique<TMF>();
        m_tmf->createWindows();
        m_tmf->show();
    }

    QString m_home;
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<UpdateSetFixture> m_set;
    std::unique_ptr<ServiceProcess> m_service;
    std::unique_ptr<TMF> m_tmf;
};

QTEST_MAIN(UpdateDownloadTest)
#include "tst_updatedownload.moc"
