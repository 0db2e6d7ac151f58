// Backups and restores of a real program process killed outright (SIGKILL) at each step, then
// the staged program started in the same folder: the current data and settings survive every
// time, a restore that had begun its swap is completed, and the next start is normal.
#include "TempDatabase.h"
#include "app/CheckPrevious.h"
#include "app/SettingsStore.h"
#include "data/Databases.h"

#include <QLocalSocket>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

namespace {
// A program folder holding the probe and a copy of the staged program beside fresh databases.
struct ProgramFolder {
    ProgramFolder() {
        for (auto [from, to] :
             {std::pair{QStringLiteral(TK_STAGE_DIR "/bin/tessaro-kavelin"), &program},
              std::pair{QStringLiteral(TK_BACKUP_PROBE), &probe}}) {
            *to = files.binDir() + u'/' + QFileInfo(from).fileName();
            QFile::copy(from, *to);
            QFile(*to).setPermissions(QFile(from).permissions());
        }
    }
    QString settingsPath() const { return files.binDir() + QStringLiteral("/settings.xml"); }
    QString dataFolder() const { return files.root() + QStringLiteral("/DATA"); }

    TempDatabase files;
    QString program;
    QString probe;
};

QProcessEnvironment environment(const QString& faultPoint = QString()) {
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The test finds the program's activation socket in the same runtime folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("http_proxy", "http://127.0.0.1:9");
    env.remove("TESSARO_FAULT_POINT");
    if (!faultPoint.isEmpty())
        env.insert("TESSARO_FAULT_POINT", faultPoint);
    return env;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Lists a folder's entries below it, folders marked with a trailing '/'.
QStringList entriesOf(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        names << QDir(folder).relativeFilePath(it.filePath()) + (it.fileInfo().isDir() ? "/" : "");
    }
    names.sort();
    return names;
}
} // namespace

class BackupCrashTest : public QObject {
    Q_OBJECT
private slots:
    // The desktop's usual umask: files it would leave readable by everyone.
    void initTestCase() { ::umask(022); }

    // Each folder starts with a complete backup set made by the program, and current data and
    // settings that differ from it.
    void init() {
        m_folder = std::make_unique<ProgramFolder>();
        m_set = m_folder->files.root() + QStringLiteral("/Save/TessaroBackup");
        {
            Databases db;
            db.open(m_folder->files.dataPath(), m_folder->files.sysPath());
            for (int cd : {11, 12})
                db.MM.ExecStatement(
                    QStringLiteral("insert into cont (cd, ctcd, cnam) values (%1, 1, 'In Set')")
                        .arg(cd));
            m_setContacts = db.MM.QueryCount(QString(), "CONT");
            db.DTR.commit();
            db.SYS_MM.ExecStatement("insert into hvx (id, com) values (90, 'set')");
            db.SYS_DTR.commit();
        }
        QCOMPARE(runProbe("backup", m_set), QByteArray("Backup Complete"));
        {
            Databases db;
            db.open(m_folder->files.dataPath(), m_folder->files.sysPath());
            db.MM.ExecStatement("insert into cont (cd, ctcd, cnam) values (13, 1, 'Current')");
            db.DTR.commit();
            db.SYS_MM.ExecStatement("update hvx set com='current' where id=90");
            db.SYS_DTR.commit();
        }
        SettingsStore settings(m_folder->settingsPath());
        settings.WriteText("USRINF\\USR", "Current User");
    }
    void cleanup() { m_folder.reset(); }

    void restoreKilledAtEachStep_data() {
        QTest::addColumn<QString>("point");
        QTest::addColumn<bool>("completed");
        QTest::newRow("restoring DATA") << QString() << false;
        QTest::newRow("DATA aside") << "restore:DATA.FDB:aside" << true;
        QTest::newRow("DATA in") << "restore:DATA.FDB:in" << true;
        QTest::newRow("SYS aside") << "restore:SYS.FDB:aside" << true;
        QTest::newRow("SYS in") << "restore:SYS.FDB:in" << true;
        QTest::newRow("settings in") << "restore:settings.xml:in" << true;
        QTest::newRow("journal") << "restore:restore.swap:journal" << true;
    }
    void restoreKilledAtEachStep() {
        QFETCH(QString, point);
        QFETCH(bool, completed);
        if (point.isEmpty())
            killWhenFileAppears("restore", m_folder->files.dataPath() + ".restoring");
        else
            QCOMPARE(runProbe("restore", m_set, point), QByteArray("killed"));

        const QString told = startNormally();
        if (completed) {
            QVERIFY2(told.contains("completed the restore"), qPrintable(told));
            QCOMPARE(contacts(), m_setContacts);
            QCOMPARE(marker(), QStringLiteral("set"));
            QCOMPARE(user(), QStringLiteral("Typed Before Backup"));
            const QStringList safety = QDir(m_folder->dataFolder() + "/before-restore")
                                           .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(safety.size(), 1);
            QCOMPARE(QDir(m_folder->dataFolder() + "/before-restore/" + safety[0])
                         .entryList(QDir::Files, QDir::Name),
                     QStringList({"DATA.FDB", "SYS.FDB", "settings.xml"}));
        } else {
            QVERIFY2(told.contains("removed the unfinished restore"), qPrintable(told));
            QCOMPARE(contacts(), m_setContacts + 1);
            QCOMPARE(marker(), QStringLiteral("current"));
            QCOMPARE(user(), QStringLiteral("Current User"));
        }
        // Nothing left beside the databases and the settings file.
        QCOMPARE(QDir(m_folder->dataFolder()).entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.FDB", "SYS.FDB"}));
        QVERIFY(!QFileInfo::exists(m_folder->settingsPath() + ".restoring"));
        QVERIFY(!QFileInfo::exists(m_folder->settingsPath() + ".bad"));
        // And the start after that one says nothing.
        QCOMPARE(startNormally(), QString());
    }

    // An earlier build's swap, killed between its renames, left the data only as DATA.FDB.previous.
    void databaseLeftAsPreviousIsPutBack() {
        QVERIFY(
            QFile::rename(m_folder->files.dataPath(), m_folder->files.dataPath() + ".previous"));
        const QString told = startNormally();
        QVERIFY2(told.contains("back from") && !told.contains('\n'), qPrintable(told));
        QCOMPARE(contacts(), m_setContacts + 1);
        QCOMPARE(QDir(m_folder->dataFolder()).entryList(QDir::Files, QDir::Name),
                 QStringList({"DATA.FDB", "SYS.FDB"}));
    }

    void backupKilledAtEachStep_data() {
        QTest::addColumn<QString>("point");
        QTest::newRow("writing DATA.fbk") << QString();
        QTest::newRow("backup file written") << "backup:written";
        QTest::newRow("user's file moved") << "backup:kept";
        QTest::newRow("set exchanged") << "backup:exchange";
    }
    void backupKilledAtEachStep() {
        QFETCH(QString, point);
        QFile notes(m_set + "/notes.txt");
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("mine") == 4);
        notes.close();
        const QByteArray oldData = bytesOf(m_set + "/DATA.fbk");
        const QByteArray oldSettings = bytesOf(m_set + "/settings.xml");
        const QString staging = QFileInfo(m_set).absolutePath() + "/.TessaroBackup.new";
        if (point.isEmpty())
            killWhenFileAppears("backup", staging + "/DATA.fbk.part");
        else
            QCOMPARE(runProbe("backup", m_set, point), QByteArray("killed"));

        // The last set is whole: the old one (the user's file may wait in the staging folder
        // until the next backup puts it back).
        QCOMPARE(bytesOf(m_set + "/DATA.fbk"), oldData);
        QCOMPARE(bytesOf(m_set + "/settings.xml"), oldSettings);
        QCOMPARE(startNormally(), QString());
        QCOMPARE(contacts(), m_setContacts + 1);
        QCOMPARE(marker(), QStringLiteral("current"));

        // The next backup clears what the killed one left and writes a whole new set.
        QCOMPARE(runProbe("backup", m_set), QByteArray("Backup Complete"));
        QCOMPARE(entriesOf(QFileInfo(m_set).absolutePath()),
                 QStringList({"TessaroBackup/", "TessaroBackup/DATA.fbk", "TessaroBackup/SYS.fbk",
                              "TessaroBackup/notes.txt", "TessaroBackup/settings.xml"}));
        QVERIFY(bytesOf(m_set + "/DATA.fbk") != oldData);
        QCOMPARE(bytesOf(m_set + "/notes.txt"), QByteArray("mine"));
        QVERIFY(bytesOf(m_set + "/settings.xml").contains("Typed Before Backup"));
    }

    // Whatever the umask, the set is the user's alone.
    void setIsPrivate() {
        for (const char* name : {"DATA.fbk", "SYS.fbk", "settings.xml"}) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(m_set + u'/' + QLatin1String(name)).constData(), &st),
                     0);
            QCOMPARE(st.st_mode & 0777, 0600u);
        }
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(m_set).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        // A settings file an earlier build left readable by others is saved for the user alone.
        QVERIFY(QFile::setPermissions(m_folder->settingsPath(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                          QFile::ReadGroup));
        QCOMPARE(startNormally(), QString());
        QCOMPARE(::stat(QFile::encodeName(m_folder->settingsPath()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    }

private:
    // Runs the probe to its end: its last line, or "killed" when a fault point ended it.
    QByteArray runProbe(const char* action, const QString& folder,
                        const QString& faultPoint = QString()) {
        QProcess p;
        p.setProcessEnvironment(environment(faultPoint));
        p.setWorkingDirectory(m_folder->files.binDir());
        p.start(m_folder->probe, {QString::fromLatin1(action), folder});
        if (!p.waitForFinished(120000))
            return "hung";
        if (p.exitStatus() == QProcess::CrashExit)
            return "killed";
        const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
        return lines.last();
    }

    // Starts the probe and kills it once the file appears (the service is writing it).
    void killWhenFileAppears(const char* action, const QString& file) {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(m_folder->probe, {QString::fromLatin1(action), m_set});
        QVERIFY(p.waitForStarted(10000));
        QElapsedTimer timer;
        timer.start();
        while (!QFileInfo::exists(file) && p.state() == QProcess::Running &&
               timer.elapsed() < 60000)
            QThread::usleep(500);
        QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    }

    // Starts the staged program and ends it with SIGTERM (waiting in its signal pipe until the
    // start is done): a normal start ends with 0. Answers what it said on standard error.
    QString startNormally() {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(m_folder->program, {});
        if (!p.waitForStarted(10000))
            return QStringLiteral("not started");
        // Up once it answers on its activation socket (or ended when its start failed).
        const QString name = CheckPrevious::activationName(m_folder->program);
        QElapsedTimer timer;
        timer.start();
        while (p.state() == QProcess::Running && timer.elapsed() < 30000) {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (socket.waitForConnected(200))
                break;
            QTest::qWait(100);
        }
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(30000))
            return QStringLiteral("hung");
        const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QStringLiteral("failed: ") + err;
        // The program's own lines (the platform may add warnings of its own).
        QStringList own;
        for (const QString& line : err.split(u'\n'))
            if (line.startsWith(QLatin1String("tessaro-kavelin:")))
                own << line;
        return own.join(u'\n');
    }

    int contacts() {
        Databases db;
        db.open(m_folder->files.dataPath(), m_folder->files.sysPath());
        return db.MM.QueryCount(QString(), "CONT");
    }
    QString marker() {
        Databases db;
        db.open(m_folder->files.dataPath(), m_folder->files.sysPath());
        return db.SYS_MM.QueryText("COM", "HVX", "ID=90");
    }
    QString user() const {
        SettingsStore settings(m_folder->settingsPath());
        settings.setFlushOnDestroy(false);
        return settings.ReadText("USRINF\\USR", QString());
    }

    std::unique_ptr<ProgramFolder> m_folder;
    QString m_set;
    int m_setContacts = 0;
};

QTEST_GUILESS_MAIN(BackupCrashTest)
#include "tst_backupcrash.moc"
