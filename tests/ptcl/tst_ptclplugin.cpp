#include "ptcl/PtclBrowser.h"
#include "ptcl/PtclSearch.h"
#include "ptcl/TPlugInManager.h"

#include "ServiceProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// The shipped PTCL plug-in, loaded by the plug-in manager from a folder of its own with its
// settings file, searching the reference service's telephone directory over loopback.
class TstPtclPlugIn : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    TPlugInManager m_manager;
    tk::IPtclPlugIn* m_plugIn = nullptr;

    struct Text : tk::IPlugInText {
        void Assign(const char* bytes, std::size_t length) override {
            value = QByteArray(bytes, qsizetype(length));
        }
        QByteArray value;
    };

    void pointAt(const QString& directory) {
        QFile conf(m_folder.filePath(QStringLiteral("TessaroPlugin.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("# where the PTCL directory's search page is\ndirectory=" +
                   directory.toLatin1() + '\n');
    }

    QByteArray process(quint8 mode, const QByteArray& request, tk::IPtclBrowser* browser) {
        Text reply;
        m_plugIn->Process(mode, request.constData(), std::size_t(request.size()), browser, &reply);
        return reply.value;
    }

private slots:
    void initTestCase() {
        // The directory is reached directly on loopback, never through a desktop proxy.
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        const QString library = m_folder.filePath(QStringLiteral("TessaroPlugin.so"));
        QVERIFY(QFile::copy(QStringLiteral(TK_STAGE_DIR "/bin/TessaroPlugin.so"), library));
        void* reference = nullptr;
        QVERIFY(m_manager.LoadPlugIn(library, tk::IID_IPtclPlugIn, reference, 0));
        m_plugIn = static_cast<tk::IPtclPlugIn*>(reference);
    }

    void searchesByNameThenByPhone() {
        ServiceProcess service;
        QVERIFY(service.isRunning());
        pointAt(service.base() + QStringLiteral("ptcl.php"));
        PtclBrowser browser;

        const auto byName = PtclSearch::parseReply(process(
            0, PtclSearch::nameAddressRequest(QStringLiteral("khan"), QString()), &browser));
        QVERIFY(!byName.isError);
        QVERIFY(byName.rows.size() > 10);
        for (const PtclRow& row : byName.rows) {
            QVERIFY2(row.CNAM.contains(QStringLiteral("KHAN")), qPrintable(row.CNAM));
            QCOMPARE(row.PHN.size(), 10);
            QVERIFY(row.PHN.startsWith(u'0'));
            QCOMPARE(row.ADR, row.ADR.at(0).toUpper() + row.ADR.mid(1)); // words capitalised
        }
        QCOMPARE(service.requests().constLast(), QStringLiteral("/hvx/ptcl.php 200"));

        // The same entry found again by its seven-digit local number.
        const PtclRow wanted = byName.rows.first();
        const auto byPhone = PtclSearch::parseReply(
            process(0, PtclSearch::phoneRequest(wanted.PHN.mid(3)), &browser));
        QVERIFY(std::any_of(byPhone.rows.cbegin(), byPhone.rows.cend(), [&](const PtclRow& row) {
            return row.PHN == wanted.PHN && row.CNAM == wanted.CNAM;
        }));
    }

    void directoryErrorsReachTheUser() {
        std::optional<ServiceProcess> service(std::in_place);
        QVERIFY(service->isRunning());
        pointAt(service->base() + QStringLiteral("ptcl.php"));
        QDir(service->dataDir()).mkpath(QStringLiteral("ptcl"));
        QFile busy(service->dataDir() + QStringLiteral("/ptcl/busy.txt"));
        QVERIFY(busy.open(QIODevice::WriteOnly));
        busy.write("Server busy & overloaded\n");
        busy.close();
        PtclBrowser browser;
        const auto reply =
            PtclSearch::parseReply(process(0, PtclSearch::phoneRequest("5551234"), &browser));
        QVERIFY(reply.isError);
        QCOMPARE(reply.message, QStringLiteral("Server busy & overloaded"));

        // A wrong page on the server, and then no server at all on that port.
        pointAt(service->base() + QStringLiteral("nothing.php"));
        QVERIFY(process(0, PtclSearch::phoneRequest("5551234"), &browser).startsWith("Error:"));
        const QString gone = service->base() + QStringLiteral("ptcl.php");
        service.reset();
        pointAt(gone);
        const QByteArray none = process(0, PtclSearch::phoneRequest("5551234"), &browser);
        QVERIFY2(none.startsWith("Error:"), none.constData());
    }

    void describesTheTransferWithoutABrowser() {
        ServiceProcess service;
        pointAt(service.base() + QStringLiteral("ptcl.php"));
        const QList<QByteArray> parts =
            process(
                0,
                PtclSearch::nameAddressRequest(QStringLiteral("ali"), QStringLiteral("mall road")),
                nullptr)
                .split('\x1f');
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts[0], QByteArray("POST"));
        QCOMPARE(parts[1], (service.base() + QStringLiteral("ptcl.php")).toLatin1());
        QCOMPARE(parts[2], QByteArray("phone=\nname=ali\naddress=mall road"));

        // The host fetches the page and hands it back for reading.
        PtclBrowser browser;
        Text page;
        QCOMPARE(browser.Fetch(parts[1].constData(), parts[2].constData(), &page), 200);
        const auto reply = PtclSearch::parseReply(process(1, page.value, nullptr));
        QVERIFY(!reply.isError);
        for (const PtclRow& row : reply.rows) {
            QVERIFY(row.CNAM.contains(QStringLiteral("ALI")));
            QVERIFY(row.ADR.contains(QStringLiteral("Mall Road")));
        }
    }

    void encodesFormsAsLatin1() {
        QCOMPARE(PtclBrowser::encodeForm("phone=\r\nname=M. Ali & Sons\nbad"),
                 QByteArray("phone=&name=M.+Ali+%26+Sons&bad="));
        QCOMPARE(PtclBrowser::encodeForm("name=Caf\xe9"), QByteArray("name=Caf%E9"));
    }

    void cleanupTestCase() {
        void* reference = m_plugIn;
        QVERIFY(m_manager.UnloadPlugIn(reference));
    }
};

QTEST_GUILESS_MAIN(TstPtclPlugIn)
#include "tst_ptclplugin.moc"
