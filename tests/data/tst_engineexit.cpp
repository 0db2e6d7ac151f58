// A process that ends through exit() with open attachments still ends.
#include <QtTest>

class EngineExitTest : public QObject {
    Q_OBJECT
private slots:
    void exitWithOpenAttachmentsEnds() {
        QProcess p;
        p.start(QCoreApplication::applicationDirPath() + "/exit_probe", {});
        QVERIFY(p.waitForStarted(5000));
        const bool ended = p.waitForFinished(30000);
        if (!ended)
            p.kill();
        QVERIFY2(ended, "the process kept running after exit()");
        QCOMPARE(p.readAllStandardOutput().trimmed(), QByteArray("open"));
        QCOMPARE(p.exitCode(), 3);
    }
};

QTEST_GUILESS_MAIN(EngineExitTest)
#include "tst_engineexit.moc"
