// Personal directory benchmark: a saved data database with N contacts in 500 folders up to four
// levels deep, measured through the page's own code paths (an offscreen window that paints),
// each beside the engine doing the same work. Every run is a child process of its own, so peak
// memory and the end of the program are those of one user's session.
//   bench_personal [contacts] [--runs R] [--folders F] [--data DIR]
// The database is built once per size under DIR (default: $TK_BENCH_DATA, else
// <temp>/tk-bench-personal) and reused by later runs.
#include "DirectoryGenerator.h"
#include "TempDatabase.h"
#include "app/SettingsStore.h"
#include "data/DatabaseBuilder.h"
#include "data/Databases.h"
#include "data/Query.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/ContactSearch.h"
#include "personal/FolderTreeModel.h"
#include "personal/TPDIR_FRM.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
// About half of the contacts have an address starting with "Plot".
const QString ManyWord = QStringLiteral("Plot");

struct Options {
    int contacts = 100000;
    int folders = 500;
    int runs = 3;
    QString data;
    QString mode; // "", "generate" or "measure"
};

Options parse(const QStringList& args) {
    Options o;
    o.data = qEnvironmentVariable("TK_BENCH_DATA", QDir::tempPath() + "/tk-bench-personal");
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--runs" && i + 1 < args.size())
            o.runs = args[++i].toInt();
        else if (a == "--folders" && i + 1 < args.size())
            o.folders = args[++i].toInt();
        else if (a == "--data" && i + 1 < args.size())
            o.data = args[++i];
        else if (a == "--generate" || a == "--measure")
            o.mode = a.mid(2);
        else
            o.contacts = a.toInt();
    }
    return o;
}

QString databaseDir(const Options& o) {
    return QStringLiteral("%1/personal-%2-%3").arg(o.data).arg(o.contacts).arg(o.folders);
}

double msOf(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// A line of /proc/self/status in KB: VmRSS (now) or VmHWM (peak).
long statusKb(const char* key) {
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').first().toLong();
    return 0;
}

// Starts the VmHWM figure again from the current resident size.
void resetPeak() {
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// One measured value for the parent to collect.
void put(const QString& key, double value) {
    std::printf("@ %s %.3f\n", qPrintable(key), value);
    std::fflush(stdout);
}

int readRows(Query& q, int limit) {
    int n = 0;
    for (; !q.eof() && n < limit; q.next(), ++n)
        for (int i = 0; i < q.fieldCount(); ++i)
            q.value(i);
    return n;
}

// The engine's count and the first `rows` rows of the listing, read field by field.
double directListing(Databases& db, const QString& listSql, const QString& countSql, int rows) {
    return msOf([&] {
        Query qc(db.DTR), qd(db.DTR);
        if (!countSql.isEmpty()) {
            qc.setSql(countSql);
            qc.open();
        }
        qd.setSql(listSql);
        qd.open();
        readRows(qd, rows);
    });
}

// Every folder, one statement per tree level, as the least the engine must read for the tree.
void directTreeLevels(Databases& db) {
    Query level(db.DTR);
    level.setSql("SELECT * FROM CATE WHERE PCD=:VL ORDER BY TITLE");
    std::function<void(int)> walk = [&](int parent) {
        QList<int> children;
        level.setParam("VL", parent);
        for (level.open(); !level.eof(); level.next())
            children << level.value("CD").toInt();
        level.close();
        for (int cd : children)
            if (cd != FolderTreeModel::AllContactsFolder)
                walk(cd);
    };
    walk(0);
}

// ---- generation (a child process, so its memory never counts in a measured run)

int generate(const Options& o) {
    const QString dir = databaseDir(o);
    const QString part = dir + ".part";
    QDir(part).removeRecursively();
    QDir().mkpath(part);
    DatabaseBuilder::create(part + "/DATA.FDB", TK_SCHEMA_DIR "/DATA.sql");
    DatabaseBuilder::create(part + "/SYS.FDB", TK_SCHEMA_DIR "/SYS.sql");
    const double ms = msOf([&] {
        Databases db;
        db.open(part + "/DATA.FDB", part + "/SYS.FDB");
        DirectoryGenerator generator;
        const QList<int> folders = generator.addFolders(db, o.folders, 4);
        generator.addContacts(db, folders, o.contacts);
    });
    QDir().rename(part, dir);
    std::printf("built %d contacts in %d folders in %.1f s: DATA.FDB %lld MB\n", o.contacts,
                o.folders, ms / 1000, QFileInfo(dir + "/DATA.FDB").size() >> 20);
    return 0;
}

// ---- one measured session

// Runs the event loop until `done`, answering the longest pause between two ticks of a 5 ms
// timer (the time the window could not paint or answer).
double loopUntil(const std::function<bool()>& done, double* longestPause) {
    QElapsedTimer total, tick;
    total.start();
    tick.start();
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, double(tick.nsecsElapsed()) / 1e6);
        tick.restart();
    });
    ticker.start();
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    longest = std::max(longest, double(tick.nsecsElapsed()) / 1e6);
    if (longestPause)
        *longestPause = longest;
    return double(total.nsecsElapsed()) / 1e6;
}

class Session {
public:
    explicit Session(const Options& o) : m_o(o) {
        const QString dir = databaseDir(o);
        // A program folder of its own: the detail pane reads templates and writes reports.
        m_tmp.installTemplates();
        QDir::setCurrent(m_tmp.binDir());
        m_db = std::make_unique<Databases>();
        m_db->open(dir + "/DATA.FDB", dir + "/SYS.FDB");
        m_settings = std::make_unique<SettingsStore>(m_tmp.binDir() + "/settings.xml");
        m_area = std::make_unique<QWidget>();
        m_area->resize(1280, 816);
        m_page = new TPDIR_FRM(*m_db, *m_settings, m_area.get(), m_area.get());
        m_page->resize(1280, 816);
        m_area->show();
        QApplication::processEvents();
        m_rcf = m_page->findChild<QLabel*>("RCF");
    }

    void run() {
        put("idle_rss_kb", double(statusKb("VmRSS:")));
        const auto step = [](const char* name) {
            put(QStringLiteral("hwm_after_%1_kb").arg(QLatin1String(name)),
                double(statusKb("VmHWM:")));
        };
        firstShowing();
        reloadFolders();
        step("reload");
        jumpToLast();
        step("jump");
        detailPane();
        search("all", 0, DirectoryGenerator::RareWord);
        step("search_all");
        search("many", 0, ManyWord);
        step("search_many");
        search("phone", 8, QStringLiteral("042-35"));
        statements();
        step("statements");
        // The anchors' own statements above (sorts on the bench's attachment) are not the
        // program's: the peak below starts again from here.
        resetPeak();
        cancelLatency();
        scrollAll(false);
        step("scroll_bare");
        scrollAll(true);
        put("peak_rss_kb", double(statusKb("VmHWM:")));
        m_page->ListContacts(m_smallFolder);
        QApplication::processEvents();
        put("replaced_rss_kb", double(statusKb("VmRSS:")));
        // The end of the program after every row has been viewed once more.
        scrollAll(false);
        put("end_ms", msOf([&] {
                m_area.reset();
                m_db.reset();
            }));
    }

private:
    ContactListModel* list() const { return m_page->contactModel(); }
    ContactListView* view() const { return m_page->contactList(); }
    void paint() { view()->viewport()->repaint(); }
    int screen() const { return view()->viewport()->height() / 25 + 1; }

    void firstShowing() {
        // The main window's first showing of the page: its set-up.
        const double setUp = msOf([&] {
            m_page->setTag(2);
            m_page->hide();
            m_page->show();
            QApplication::processEvents();
        });
        const double one = msOf([&] {
            m_page->ListContacts(1);
            paint();
        });
        put("setup_ms", setUp);
        put("one_listing_ms", one);
    }

    void reloadFolders() {
        const double program = msOf([&] {
            m_page->ReloadFolders();
            QApplication::processEvents();
            paint();
        });
        const double direct = msOf([&] { directTreeLevels(*m_db); }) +
                              directListing(*m_db, ContactSearch::folderListSql(1),
                                            ContactSearch::folderCountSql(1), screen());
        put("reload_ms", program);
        put("reload_direct_ms", direct);
        // A folder with few contacts, for replacing a long listing later.
        Query q(m_db->DTR);
        q.setSql("SELECT FIRST 1 CTCD FROM CONT GROUP BY CTCD ORDER BY COUNT(*)");
        q.open();
        m_smallFolder = q.value(0).toInt();
    }

    void jumpToLast() {
        const double program = msOf([&] {
            m_page->ListContacts(1);
            view()->scrollToBottom();
            view()->focusRow(list()->rowCount() - 1);
            paint();
        });
        const double direct = directListing(*m_db, ContactSearch::folderListSql(1),
                                            ContactSearch::folderCountSql(1), m_o.contacts);
        put("jump_ms", program);
        put("jump_direct_ms", direct);
    }

    // The whole listing a page at a time, from a fresh listing: painted, or only asking the
    // model for every cell painting would ask for.
    void scrollAll(bool painting) {
        m_page->ListContacts(1);
        paint();
        QScrollBar* bar = view()->verticalScrollBar();
        const int columns = list()->columnCount();
        const double ms = msOf([&] {
            for (;;) {
                if (painting) {
                    paint();
                } else {
                    const int top = view()->rowAt(0);
                    for (int r = top; r < std::min(top + screen(), list()->rowCount()); ++r)
                        for (int c = 0; c < columns; ++c) {
                            const QModelIndex i = list()->index(r, c);
                            list()->data(i, Qt::DisplayRole);
                            list()->data(i, Qt::FontRole);
                        }
                }
                if (bar->value() >= bar->maximum())
                    break;
                bar->setValue(bar->value() + bar->pageStep());
            }
        });
        if (m_scrolls++ < 2)
            put(painting ? "scroll_paint_ms" : "scroll_bare_ms", ms);
    }

    void detailPane() {
        const int n = list()->rowCount();
        const int samples = 20;
        Query byKey(m_db->DTR);
        byKey.setSql("SELECT * FROM CONT WHERE CD=:CD");
        double program = 0, direct = 0;
        for (int s = 0; s < samples; ++s) {
            const int r = int(qint64(n - 1) * s / (samples - 1));
            view()->focusRow(r);
            const int cd = list()->row(r).CD;
            program += msOf([&] {
                m_page->TIM_BTVTimer();
                QApplication::processEvents();
            });
            direct += msOf([&] {
                byKey.setParam("CD", cd);
                byKey.open();
                readRows(byKey, 1);
                byKey.close();
            });
        }
        put("detail_ms", program / samples);
        put("detail_direct_ms", direct / samples);
    }

    // From the click until the count shows and the first screenful is painted.
    void search(const QString& name, int field, const QString& text) {
        m_page->findChild<QComboBox*>("FLDS")->setCurrentIndex(field);
        m_page->findChild<QLineEdit*>("SRB")->setText(text);
        m_rcf->clear();
        double pause = 0;
        QTimer::singleShot(0, m_page, [this] { m_page->SRBButtonClick(); });
        const double ms = loopUntil(
            [&] { return m_rcf->text().endsWith(QLatin1String(" Records Found")); }, &pause);
        paint();
        put("search_" + name + "_ms", ms);
        put("search_" + name + "_pause_ms", pause);
        put("search_" + name + "_hits", list()->count());
        const QString pattern = ContactSearch::pattern(text);
        put("search_" + name + "_direct_ms",
            directListing(*m_db, ContactSearch::searchListSql(field, pattern),
                          ContactSearch::searchCountSql(field, pattern), screen()));
    }

    // Escape during an "All" search, until the search has stopped and the list is back.
    void cancelLatency() {
        m_page->findChild<QComboBox*>("FLDS")->setCurrentIndex(0);
        auto* srb = m_page->findChild<QLineEdit*>("SRB");
        srb->setText(DirectoryGenerator::RareWord);
        m_page->SRBButtonClick();
        QElapsedTimer wait;
        wait.start();
        // Into the engine's work, then Escape.
        loopUntil([&] { return wait.elapsed() >= 150 || !m_page->isSearching(); }, nullptr);
        if (!m_page->isSearching())
            return put("cancel_ms", -1);
        QElapsedTimer t;
        t.start();
        QTest::keyClick(srb, Qt::Key_Escape);
        loopUntil([&] { return !m_page->isSearching(); }, nullptr);
        put("cancel_ms", double(t.nsecsElapsed()) / 1e6);
    }

    // The listing statement of a search as the page once ran it, and the keys statements the
    // program runs instead with either plan, each read to its end (the count left out).
    void statements() {
        const QString pattern = ContactSearch::pattern(DirectoryGenerator::RareWord);
        const QString many = ContactSearch::pattern(ManyWord);
        for (const auto& [name, p] : {std::pair{"all", pattern}, std::pair{"many", many}}) {
            const QString key = QLatin1String(name);
            put(key + "_statement_ms",
                directListing(*m_db, ContactSearch::searchListSql(0, p), {}, m_o.contacts));
            put(key + "_keys_sort_ms",
                directListing(*m_db, ContactSearch::searchKeysSql(0, p, true), {}, m_o.contacts));
            put(key + "_keys_index_ms",
                directListing(*m_db, ContactSearch::searchKeysSql(0, p, false), {}, m_o.contacts));
        }
    }

    Options m_o;
    TempDatabase m_tmp;
    std::unique_ptr<Databases> m_db;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<QWidget> m_area;
    TPDIR_FRM* m_page = nullptr;
    QLabel* m_rcf = nullptr;
    int m_smallFolder = 1;
    int m_scrolls = 0;
};

// ---- the parent: runs the children and prints the table

using Samples = QMap<QString, QList<double>>;

void runChild(const Options& o, const QString& mode, Samples* samples) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::number(o.contacts), "--folders", QString::number(o.folders), "--data",
                 o.data, "--" + mode});
    child.waitForFinished(-1);
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("@ ") && samples) {
            const QList<QByteArray> parts = line.split(' ');
            (*samples)[QString::fromLatin1(parts[1])] << parts[2].toDouble();
        } else if (!line.isEmpty()) {
            std::printf("%s\n", line.constData());
        }
    }
    if (child.exitCode() != 0)
        std::printf("%s run ended with code %d\n", qPrintable(mode), child.exitCode());
}

// The page's count and listing statements of a search, run by isql-fb on the saved file.
double isqlSearch(const Options& o, int field, const QString& text) {
    const QString pattern = ContactSearch::pattern(text);
    QFile script(QDir::tempPath() + "/tk-bench-isql.sql");
    script.open(QIODevice::WriteOnly);
    script.write((ContactSearch::searchCountSql(field, pattern) + ";\n" +
                  ContactSearch::searchListSql(field, pattern) + ";\n")
                     .toUtf8());
    script.close();
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    const double ms = msOf([&] {
        isql.start("isql-fb", {"-q", "-ch", "UTF8", "-user", "SYSDBA", "-password", "morvan52",
                               "-i", script.fileName(), databaseDir(o) + "/DATA.FDB"});
        isql.waitForFinished(-1);
    });
    return isql.exitCode() == 0 ? ms : -1;
}

QString stat(const QList<double>& values, int decimals = 1) {
    if (values.isEmpty())
        return "-";
    QList<double> v = values;
    std::sort(v.begin(), v.end());
    const QString median = QString::number(v[v.size() / 2], 'f', decimals);
    if (v.size() == 1)
        return median;
    return QStringLiteral("%1 [%2-%3]")
        .arg(median, QString::number(v.first(), 'f', decimals),
             QString::number(v.last(), 'f', decimals));
}

void row(const char* what, const QString& program, const char* anchorName, const QString& anchor) {
    std::printf("%-38s %-26s %-34s %s\n", what, qPrintable(program), anchorName,
                qPrintable(anchor));
}

int parent(const Options& o) {
    if (!QFileInfo::exists(databaseDir(o) + "/DATA.FDB"))
        runChild(o, "generate", nullptr);
    Samples s;
    for (int i = 0; i < o.runs; ++i) {
        runChild(o, "measure", &s);
        s["isql_all_ms"] << isqlSearch(o, 0, DirectoryGenerator::RareWord);
        s["isql_many_ms"] << isqlSearch(o, 0, ManyWord);
        s["isql_phone_ms"] << isqlSearch(o, 8, QStringLiteral("042-35"));
    }
    std::printf("\n%d contacts, %d folders, %d run(s): median [min-max], ms unless named\n",
                o.contacts, o.folders, o.runs);
    row("first showing (page set-up)", stat(s["setup_ms"]), "one folder-1 listing",
        stat(s["one_listing_ms"]));
    row("ReloadFolders", stat(s["reload_ms"]), "tree levels + folder-1 listing",
        stat(s["reload_direct_ms"]));
    row("jump to the last row", stat(s["jump_ms"]), "engine reads the same rows",
        stat(s["jump_direct_ms"]));
    row("scroll whole listing, painting", stat(s["scroll_paint_ms"]), "the same, no painting",
        stat(s["scroll_bare_ms"]));
    row("detail pane (per row)", stat(s["detail_ms"], 2), "row fetched by key",
        stat(s["detail_direct_ms"], 2));
    for (const char* name : {"all", "many", "phone"}) {
        const QString key = QStringLiteral("search_%1").arg(QLatin1String(name));
        const QString what = QStringLiteral("search %1 (%2 hits)")
                                 .arg(QLatin1String(name))
                                 .arg(stat(s[key + "_hits"], 0));
        row(qPrintable(what), stat(s[key + "_ms"]), "statements in isql-fb",
            stat(s[QStringLiteral("isql_%1_ms").arg(QLatin1String(name))]));
        row("  in-process count + first screen", stat(s[key + "_direct_ms"]), "", "");
        row("  longest event-loop pause", stat(s[key + "_pause_ms"]), "", "");
    }
    row("All search listing statement (no count)", stat(s["all_statement_ms"]),
        "keys: scan and sort / name index",
        stat(s["all_keys_sort_ms"]) + " / " + stat(s["all_keys_index_ms"]));
    row("Many-hit listing statement (no count)", stat(s["many_statement_ms"]),
        "keys: scan and sort / name index",
        stat(s["many_keys_sort_ms"]) + " / " + stat(s["many_keys_index_ms"]));
    row("Escape during an All search", stat(s["cancel_ms"]), "", "");
    const auto mb = [&](const char* key) {
        QList<double> v;
        for (double kb : s[key])
            v << kb / 1024;
        return stat(v);
    };
    row("memory idle (MB)", mb("idle_rss_kb"), "", "");
    row("peak memory after every row (MB)", mb("peak_rss_kb"), "", "");
    row("memory after listing replaced (MB)", mb("replaced_rss_kb"), "", "");
    row("end of the program after that", stat(s["end_ms"]), "", "");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Options o = parse(app.arguments());
    if (o.mode == "generate")
        return generate(o);
    if (o.mode == "measure") {
        Session session(o);
        session.run();
        return 0;
    }
    return parent(o);
}
