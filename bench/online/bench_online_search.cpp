// Business search over 5,000 listings from the reference service on loopback: the time from the
// click on the search button until the first screenful of the list is painted, beside the time
// to fetch and split the same reply alone. Prints the medians of several runs.
#include "ServiceProcess.h"
#include "TempDatabase.h"
#include "app/SettingsStore.h"
#include "business/BusinessListModel.h"
#include "business/BusinessReply.h"
#include "business/TBDIR_FRM.h"
#include "data/Databases.h"
#include "directory/DirectoryListView.h"
#include "directory/SearchBox.h"
#include "online/HttpClient.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int Listings = 5000;
constexpr int Runs = 7;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Stops the clock when the list's viewport has painted rows.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* viewport, QAbstractItemModel* model) : m_model(model) {
        viewport->installEventFilter(this);
    }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_model->rowCount() > 0) {
            auto* w = static_cast<QWidget*>(watched);
            w->removeEventFilter(this);
            // Let the paint run, then stop.
            QMetaObject::invokeMethod(
                this, [this] { painted = true; }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QAbstractItemModel* m_model;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir data;
    {
        QFile count(data.path() + QStringLiteral("/resultra.count"));
        count.open(QIODevice::WriteOnly);
        count.write(QByteArray::number(Listings));
    }
    ServiceProcess service(data.path());
    if (!service.isRunning()) {
        std::fprintf(stderr, "bench_online_search: tk-service did not start\n");
        return 1;
    }
    // Every generated address ends in "Pakistan": this search lists them all.
    const QString text = QStringLiteral("pakistan");

    std::vector<double> fetchSplit;
    HttpClient client;
    int rows = 0;
    qint64 bytes = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer t;
        t.start();
        QBuffer body;
        body.open(QIODevice::WriteOnly);
        client.fetch(QUrl(service.base() + QStringLiteral("resultra.php?q=") + text), &body);
        const BusinessReply reply = BusinessReply::parse(body.data());
        fetchSplit.push_back(t.nsecsElapsed() / 1e6);
        rows = int(reply.rows.size());
        bytes = body.size();
    }

    TempDatabase files;
    Databases db;
    db.open(files.dataPath(), files.sysPath());
    files.installTemplates();
    QDir::setCurrent(files.binDir());
    SettingsStore settings(files.binDir() + QStringLiteral("/settings.xml"));
    TBDIR_FRM page(db, settings, nullptr, nullptr);
    page.setServiceBase(service.base());
    page.resize(1280, 816);
    page.setTag(2);
    page.show();
    QApplication::processEvents();

    std::vector<double> toScreen;
    for (int i = 0; i < Runs; ++i) {
        page.searchBox()->setText(text);
        PaintWatch watch(page.resultList()->viewport(), page.resultModel());
        QElapsedTimer t;
        t.start();
        page.searchBox()->searchButton()->trigger();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        toScreen.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("business search, %d listings (%lld bytes) from tk-service on loopback, %d runs\n",
                rows, static_cast<long long>(bytes), Runs);
    std::printf("  click to first screenful painted: median %.1f ms\n", median(toScreen));
    std::printf("  fetch and split alone:            median %.1f ms\n", median(fetchSplit));
    return 0;
}
