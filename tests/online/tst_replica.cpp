// The updater as a real process over a real program folder: it waits for the program to end,
// puts the unpacked files in place, writes the marker and starts the program again.
#include <QtTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes,
               QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
    f.close();
    f.setPermissions(perms);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
} // namespace

class ReplicaTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_program = root() + "/bin/tessaro-kavelin";
        QDir().mkpath(root() + "/bin");
        QDir().mkpath(root() + "/temp");
        QVERIFY(QFile::copy(TK_PROBE_PATH, m_program));
        QFile(m_program).setPermissions(Executable);
        writeFile(root() + "/templates/PD_DV.TEMPLATE.RTF", "old template");
        // The unpacked update: a new program that notes its start, a template, a file in a
        // new folder, and the scripts and updater copy the program has used already.
        writeFile(update("bin/tessaro-kavelin"),
                  "#!/bin/sh\necho \"new $(pwd)\" >> ../temp/started.txt\n", Executable);
        writeFile(update("templates/PD_DV.TEMPLATE.RTF"), "new template");
        writeFile(update("help/deep/notes.txt"), "notes");
        writeFile(update("prs_100.sql"), "insert into x values (1);");
        writeFile(update("sys_100.sql"), "update hvx set com='101' where id=1;");
        writeFile(update("replica"), "not this one");
    }
    void cleanup() {
        if (m_held.state() != QProcess::NotRunning) {
            m_held.kill();
            m_held.waitForFinished();
        }
        m_dir.reset();
    }

    void waitsForTheProgramThenInstallsAndRestartsIt() {
        holdProgram();
        QProcess replica;
        replica.start(TK_REPLICA_PATH, {m_program});
        QVERIFY(replica.waitForStarted());
        // While the program runs nothing is touched.
        QVERIFY(!replica.waitForFinished(500));
        QCOMPARE(readFile(root() + "/templates/PD_DV.TEMPLATE.RTF"), QByteArray("old template"));

        m_held.closeWriteChannel();
        QVERIFY(replica.waitForFinished(20000));
        QCOMPARE(replica.exitCode(), 0);
        QCOMPARE(readFile(root() + "/templates/PD_DV.TEMPLATE.RTF"), QByteArray("new template"));
        QCOMPARE(readFile(root() + "/help/deep/notes.txt"), QByteArray("notes"));
        QVERIFY(QFileInfo(m_program).isExecutable());
        QVERIFY(QFileInfo::exists(root() + "/temp/replica.ok"));
        // Scripts and the updater copy stay where they were.
        QVERIFY(!QFileInfo::exists(root() + "/prs_100.sql"));
        QVERIFY(!QFileInfo::exists(root() + "/replica"));
        QVERIFY(QDir(root()).entryList({"*.replica-new"}, QDir::Files).isEmpty());
        // The new program was started from its folder.
        QTRY_COMPARE_WITH_TIMEOUT(readFile(root() + "/temp/started.txt"),
                                  "new " + QFile::encodeName(root()) + "/bin\n", 10000);
    }

    void failedCopyKeepsTheOldFiles_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a file where a folder must go") << "help";
        QTest::newRow("a folder where a file must go") << "templates/PD_DV.TEMPLATE.RTF";
    }
    void failedCopyKeepsTheOldFiles() {
        QFETCH(QString, obstacle);
        QFile::remove(root() + "/templates/PD_DV.TEMPLATE.RTF");
        if (obstacle == "help")
            writeFile(root() + "/help", "in the way");
        else
            QDir().mkpath(root() + "/" + obstacle);
        const QByteArray oldProgram = readFile(m_program);

        QProcess replica;
        replica.start(TK_REPLICA_PATH, {m_program});
        QVERIFY(replica.waitForFinished(20000));
        QCOMPARE(replica.exitCode(), 1);
        QVERIFY(replica.readAllStandardError().contains("old files kept"));
        QCOMPARE(readFile(m_program), oldProgram);
        QVERIFY(!QFileInfo::exists(root() + "/temp/replica.ok"));
        QVERIFY(!QFileInfo::exists(root() + "/bin/tessaro-kavelin.replica-new"));
        // Not started again: without the marker it would only hand straight back.
        QVERIFY(!QFileInfo::exists(root() + "/temp/started.txt"));
        QVERIFY(readFile(root() + "/temp/replica.log").contains("old files kept"));
    }

    void givesUpWhenTheProgramDoesNotEnd() {
        holdProgram();
        QProcess replica;
        replica.start(TK_REPLICA_PATH, {"--wait-ms", "300", m_program});
        QVERIFY(replica.waitForFinished(20000));
        QCOMPARE(replica.exitCode(), 1);
        QCOMPARE(readFile(root() + "/templates/PD_DV.TEMPLATE.RTF"), QByteArray("old template"));
        QVERIFY(!QFileInfo::exists(root() + "/temp/replica.ok"));
    }

private:
    QString root() const { return m_dir->path(); }
    QString update(const QString& relative) const { return root() + "/temp/file/" + relative; }
    void holdProgram() {
        m_held.start(m_program, {"hold"});
        QVERIFY(m_held.waitForStarted());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    QProcess m_held;
};

QTEST_GUILESS_MAIN(ReplicaTest)
#include "tst_replica.moc"
