// Personal directory benchmark: a data database with 100,000 contacts in 500 folders up to
// four levels deep, measured through the page's own code paths, each beside the same SELECT
// run directly through the data layer. Usage: bench_personal [contacts] [folders]
#include "DirectoryGenerator.h"
#include "TempDatabase.h"
#include "app/SettingsStore.h"
#include "data/Databases.h"
#include "data/Query.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/ContactSearch.h"
#include "personal/FolderTreeModel.h"
#include "personal/TPDIR_FRM.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {
double msOf(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void report(const char* what, double program, double direct, const QString& note = QString()) {
    std::printf("%-44s program %9.1f ms   direct SELECT %9.1f ms   %s\n", what, program, direct,
                qPrintable(note));
    std::fflush(stdout);
}

// The rows a listing cursor gives, read field by field as the list copies them.
int readRows(Query& q, int limit) {
    int n = 0;
    for (; !q.eof() && n < limit; q.next(), ++n)
        for (int i = 0; i < q.fieldCount(); ++i)
            q.value(i);
    return n;
}

double directListing(Databases& db, const QString& listSql, const QString& countSql, int rows,
                     int* count = nullptr) {
    return msOf([&] {
        Query qc(db.DTR), qd(db.DTR);
        qc.setSql(countSql);
        qc.open();
        if (count)
            *count = qc.value(0).toInt();
        qd.setSql(listSql);
        qd.open();
        readRows(qd, rows);
    });
}

// The same statements the tree runs for every node: CAT_Q by position and CAT_C per folder.
void directTreeWalk(Databases& db) {
    Query catQ(db.DTR), catC(db.DTR);
    catQ.setSql("SELECT FIRST 1 SKIP :SK * FROM CATE WHERE PCD=:VL ORDER BY TITLE");
    catC.setSql("SELECT COUNT(CD) FROM CATE WHERE PCD=:VL");
    std::function<void(int)> walk = [&](int parent) {
        catC.setParam("VL", parent);
        catC.open();
        const int n = catC.value(0).toInt();
        catC.close();
        for (int i = 0; i < n; ++i) {
            catQ.setParam("SK", i);
            catQ.setParam("VL", parent);
            catQ.open();
            const int cd = catQ.value("CD").toInt();
            catQ.close();
            if (cd != 1)
                walk(cd);
        }
    };
    walk(0);
}

// Paints the list's visible rows now, as the screen would.
void paintList(TPDIR_FRM* page) {
    page->contactList()->viewport()->repaint();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int folderCount = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 500;
    TempDatabase tmp;
    QList<int> folders;
    {
        Databases db;
        db.open(tmp.dataPath(), tmp.sysPath());
        DirectoryGenerator generator;
        const double build = msOf([&] {
            folders = generator.addFolders(db, folderCount, 4);
            generator.addContacts(db, folders, contacts);
        });
        std::printf("built %d contacts in %d folders (4 levels) in %.1f s\n", contacts,
                    int(folders.size()), build / 1000);
    }
    std::printf("peak memory after building: %ld KB\n", peakKb());
    std::printf("DATA.FDB with %d contacts: %lld KB\n", contacts,
                QFileInfo(tmp.dataPath()).size() / 1024);

    Databases db;
    db.open(tmp.dataPath(), tmp.sysPath());
    SettingsStore settings(tmp.binDir() + "/settings.xml");
    QWidget area;
    area.resize(1280, 816);
    auto* page = new TPDIR_FRM(db, settings, &area, &area);
    page->resize(1280, 816);
    area.show();
    page->show(); // tag 0: no set-up, the steps are run one by one below
    QApplication::processEvents();
    {
        Query warm(db.DTR);
        warm.setSql("SELECT * FROM CONT");
        warm.open();
        readRows(warm, contacts);
    }
    const long peakBefore = peakKb();

    // ReloadFolders (it also lists the folder it selects, as the focus change does).
    const double direct1 = msOf([&] { directTreeWalk(db); });
    const double reload = msOf([&] { page->ReloadFolders(); });
    report("ReloadFolders (500 folders)", reload, direct1,
           QStringLiteral("direct: the same CAT_Q/CAT_C walk; tree holds %1 top-level folders")
               .arg(page->folderModel()->rowCount()));

    // Folder 1 until the first screenful is painted.
    ContactListModel* list = page->contactModel();
    const int screen = page->contactList()->viewport()->height() / 25 + 1;
    const double direct2 = directListing(db, ContactSearch::folderListSql(1),
                                         ContactSearch::folderCountSql(1), screen);
    const double first = msOf([&] {
        page->ListContacts(1);
        paintList(page);
    });
    report("folder 1, first screenful", first, direct2,
           QStringLiteral("%1 rows listed, %2 copied")
               .arg(list->rowCount())
               .arg(list->fetchedCount()));

    // Scrolling the whole listing a page at a time, painting each.
    QScrollBar* bar = page->contactList()->verticalScrollBar();
    int pages = 0;
    const double scroll = msOf([&] {
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            paintList(page);
            ++pages;
        }
    });
    const double direct3 = directListing(db, ContactSearch::folderListSql(1),
                                         ContactSearch::folderCountSql(1), contacts);
    report("folder 1, scrolling the whole listing", scroll, direct3,
           QStringLiteral("%1 pages painted, %2 rows copied").arg(pages).arg(list->fetchedCount()));
    std::printf("peak memory after scrolling: %ld KB (before listing %ld KB)\n", peakKb(),
                peakBefore);

    // Searches, until the first screenful is painted.
    auto* srb = page->findChild<QLineEdit*>("SRB");
    auto* flds = page->findChild<QComboBox*>("FLDS");
    const auto measureSearch = [&](const char* what, int field, const QString& text) {
        int count = 0;
        const QString pattern = ContactSearch::pattern(text);
        const double direct =
            directListing(db, ContactSearch::searchListSql(field, pattern),
                          ContactSearch::searchCountSql(field, pattern), screen, &count);
        flds->setCurrentIndex(field);
        srb->setText(text);
        const double program = msOf([&] {
            page->SRBButtonClick();
            paintList(page);
        });
        report(what, program, direct,
               QStringLiteral("\"%1\": %2 found (%3%)")
                   .arg(text)
                   .arg(count)
                   .arg(100.0 * count / contacts, 0, 'f', 2));
    };
    measureSearch("search \"All (Recommended)\", first screenful", 0, DirectoryGenerator::RareWord);
    measureSearch("search \"Phone\", first screenful", 8, QStringLiteral("042-35"));
    std::printf("peak memory of the process: %ld KB\n", peakKb());
    return 0;
}
