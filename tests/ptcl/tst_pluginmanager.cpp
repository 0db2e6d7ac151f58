#include "TestPlugIns.h"
#include "ptcl/TPlugInManager.h"

#include <QTest>

#include <dlfcn.h>

// The plug-in manager with real libraries loaded by dlopen.
class TstPlugInManager : public QObject {
    Q_OBJECT

    static QString library(const char* variant) { return TestPlugIns::library(variant); }

    // Objects alive inside a library, read through a handle of the test's own so the library
    // stays loaded after the manager lets it go.
    struct Probe {
        explicit Probe(const QString& file)
            : handle(dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL)) {}
        ~Probe() {
            if (handle)
                dlclose(handle);
        }
        int alive() const {
            auto count = reinterpret_cast<int (*)()>(dlsym(handle, "AliveObjects"));
            return count ? count() : -1;
        }
        void* handle;
    };

    // A text the plug-in writes into.
    struct Text : tk::IPlugInText {
        void Assign(const char* bytes, std::size_t length) override {
            value = QByteArray(bytes, qsizetype(length));
        }
        QByteArray value;
    };

private slots:
    void loadsCallsAndUnloads() {
        Probe probe(library("good"));
        QVERIFY(probe.handle);
        TPlugInManager manager;
        void* reference = nullptr;
        QVERIFY(manager.LoadPlugIn(library("good"), tk::IID_IPtclPlugIn, reference, 0));
        QVERIFY(reference);
        QCOMPARE(probe.alive(), 1);

        auto* plugIn = static_cast<tk::IPtclPlugIn*>(reference);
        Text reply;
        const QByteArray request("1234567\x1f\x1f");
        plugIn->Process(0, request.constData(), std::size_t(request.size()), nullptr, &reply);
        QCOMPARE(reply.value, QByteArray("0:1234567\x1f\x1f"));

        void* other = reinterpret_cast<void*>(0x1);
        QVERIFY(!manager.UnloadPlugIn(other));
        QCOMPARE(manager.count(), 1);
        QVERIFY(manager.UnloadPlugIn(reference));
        QVERIFY(!reference);
        QCOMPARE(manager.count(), 0);
        QCOMPARE(probe.alive(), 0);
    }

    void refusesBrokenLibraries_data() { TestPlugIns::addBrokenLibraryRows(); }

    void refusesBrokenLibraries() {
        QFETCH(QString, file);
        TPlugInManager manager;
        void* reference = nullptr;
        QVERIFY(!manager.LoadPlugIn(file, tk::IID_IPtclPlugIn, reference, 0));
        QVERIFY(!reference);
        QCOMPARE(manager.count(), 0);
    }

    void objectWithoutInterfaceIsDestroyed() {
        Probe probe(library("nointerface"));
        TPlugInManager manager;
        void* reference = nullptr;
        QVERIFY(!manager.LoadPlugIn(library("nointerface"), tk::IID_IPtclPlugIn, reference, 0));
        QCOMPARE(probe.alive(), 0);
    }

    void managerEndReleasesWhatIsLoaded() {
        Probe probe(library("good"));
        {
            TPlugInManager manager;
            void* first = nullptr;
            void* second = nullptr;
            QVERIFY(manager.LoadPlugIn(library("good"), tk::IID_IPtclPlugIn, first, 0));
            QVERIFY(manager.LoadPlugIn(library("good"), tk::IID_IPtclPlugIn, second, 0));
            QVERIFY(first != second);
            QCOMPARE(probe.alive(), 2);
        }
        QCOMPARE(probe.alive(), 0);
    }
};

QTEST_GUILESS_MAIN(TstPlugInManager)
#include "tst_pluginmanager.moc"
