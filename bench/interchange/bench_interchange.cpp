// Interchange benchmark: N generated vCard 3.0 cards of realistic size (names, an organisation,
// two or three numbers, e-mail, address, a note, some with a picture) imported into an empty
// folder through the contact editor's editing object, and exported again as vCard 4.0; beside
// them the engine's limit: the same rows inserted by one prepared statement in a loop through
// the data layer, and the rows read by one SELECT. Memory is sampled while the import runs, so a
// growth with the file would show. Usage: bench_interchange [cards] [runs]
#include "TempDatabase.h"
#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"
#include "data/Databases.h"
#include "data/Query.h"
#include "interchange/ContactExporter.h"
#include "interchange/ContactImporter.h"
#include "interchange/ContactSource.h"
#include "interchange/FolderPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
long kibOf(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

const char* const Given[] = {"Imran", "Ayesha", "Farhan", "Sana", "Ali",    "Zainab",
                             "Usman", "Hina",   "José",   "Zoë",  "Kamran", "Nadia"};
const char* const Family[] = {"Khan",  "Qureshi", "Siddiqui", "Baig", "Raza",
                              "Malik", "Çelik",   "Müller",   "Shah", "Butt"};
const char* const Trades[] = {"Textiles", "Traders", "Pharmaceuticals", "Logistics",
                              "Steel",    "Foods",   "Electronics",     "Motors"};
const char* const Cities[] = {"Karachi", "Lahore", "Islamabad", "Faisalabad", "Multan", "Dubai"};

// One card as a phone writes it; about 600 bytes, every tenth with a 4 KiB picture.
QByteArray card(int i, QRandomGenerator& random) {
    const QByteArray given = Given[random.bounded(12)], family = Family[random.bounded(10)];
    const QByteArray org = family + ' ' + Trades[random.bounded(8)] + ' ' + QByteArray::number(i);
    QByteArray c = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + family + ';' + given +
                   ";;;\r\nFN:" + given + ' ' + family + "\r\nORG:" + org +
                   "\r\nTITLE:Sales Manager\r\n";
    c += "TEL;TYPE=WORK,VOICE:021-" + QByteArray::number(30000000 + i) + "\r\n";
    c += "TEL;TYPE=CELL:+92 300 " + QByteArray::number(1000000 + i) + "\r\n";
    if (i % 3 == 0)
        c += "TEL;TYPE=WORK,FAX:021-" + QByteArray::number(40000000 + i) + "\r\n";
    c += "EMAIL;TYPE=INTERNET,WORK:" + given.toLower() + '.' + QByteArray::number(i) +
         "@example.pk\r\n";
    c += "ADR;TYPE=WORK:;;Plot " + QByteArray::number(i % 500) + "\\, Block " +
         QByteArray::number(i % 20) + ";" + Cities[random.bounded(6)] + ";;" +
         QByteArray::number(54000 + i % 900) + ";Pakistan\r\n";
    c += "URL:www.example-" + QByteArray::number(i) + ".pk\r\n";
    c += "NOTE:Regular customer since 20" + QByteArray::number(10 + i % 14) +
         ". Orders cotton yarn twice a year\\; prefers calls in the morning.\r\n";
    if (i % 10 == 0) {
        c += "PHOTO;ENCODING=b;TYPE=JPEG:";
        for (int k = 0; k < 60; ++k)
            c += QByteArray(74, 'A' + char(k % 26)) + "\r\n ";
        c += "AAAA\r\n";
    }
    return c + "END:VCARD\r\n";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Figures {
    std::vector<double> import, prepared, exported, selected;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int cards = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    QDir work(QDir::tempPath());
    const QString file = work.absoluteFilePath(QStringLiteral("bench_interchange.vcf"));
    {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        QRandomGenerator random(7);
        for (int i = 0; i < cards; ++i)
            out.write(card(i, random));
        std::printf("%d cards, %.1f MiB\n", cards, double(out.size()) / (1024.0 * 1024.0));
    }
    const long baseline = kibOf("VmRSS:");
    Figures f;
    long rssAtTenth = 0, rssAtEnd = 0, peak = 0;
    for (int run = 0; run < runs; ++run) {
        TempDatabase tmp;
        QDir::setCurrent(tmp.binDir());
        Databases db;
        db.open(tmp.dataPath(), tmp.sysPath());
        FolderPaths folders(db.DTR);
        const int folder = folders.findOrCreate(QStringLiteral("Imported"));

        // The program's import: the editing object, duplicates check, stored-text rules.
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        DataSetEditor cdt(db.DTR);
        EditingStatements::configureContact(cdt);
        std::unique_ptr<ContactSource> source = ContactSource::open(in, file);
        ContactImporter importer(cdt, db.DTR, folder, *source);
        QElapsedTimer t;
        t.start();
        while (importer.step(250)) {
            if (rssAtTenth == 0 && importer.summary().imported >= cards / 10)
                rssAtTenth = kibOf("VmRSS:");
        }
        const double importSeconds = double(t.nsecsElapsed()) / 1e9;
        rssAtEnd = kibOf("VmRSS:");
        if (importer.summary().imported != cards)
            std::printf("imported only %d\n", importer.summary().imported);
        f.import.push_back(cards / importSeconds);

        // The engine's limit: one prepared insert in a loop, the same column values.
        const int other = folders.findOrCreate(QStringLiteral("Prepared"));
        Query insert(db.DTR);
        insert.setSql(QStringLiteral(
            "INSERT INTO CONT (CTCD, CD, CNAM, PNAM, PDSG, ADR, ZCD, PHN, MOB, FAX, EML, WEB, "
            "CCD, BDS) VALUES (:CTCD, GEN_ID(GEN_CONT, 1), :CNAM, :PNAM, :PDSG, :ADR, :ZCD, "
            ":PHN, :MOB, :FAX, :EML, :WEB, :CCD, :BDS)"));
        Query rows(db.DTR);
        rows.setSql(QStringLiteral("SELECT %1 FROM CONT WHERE CTCD=%2")
                        .arg(ContactExporter::columns())
                        .arg(folder));
        std::vector<ContactRow> copy;
        copy.reserve(size_t(cards));
        for (rows.open(); !rows.eof(); rows.next())
            copy.push_back(ContactExporter::rowOf(rows));
        rows.close();
        t.restart();
        for (const ContactRow& r : copy) {
            insert.setParam(QStringLiteral("CTCD"), other);
            insert.setParam(QStringLiteral("CNAM"), r.CNAM);
            insert.setParam(QStringLiteral("PNAM"), r.PNAM);
            insert.setParam(QStringLiteral("PDSG"), r.PDSG);
            insert.setParam(QStringLiteral("ADR"), r.ADR);
            insert.setParam(QStringLiteral("ZCD"), r.ZCD);
            insert.setParam(QStringLiteral("PHN"), r.PHN);
            insert.setParam(QStringLiteral("MOB"), r.MOB);
            insert.setParam(QStringLiteral("FAX"), r.FAX);
            insert.setParam(QStringLiteral("EML"), r.EML);
            insert.setParam(QStringLiteral("WEB"), r.WEB);
            insert.setParam(QStringLiteral("CCD"), r.CCD ? QVariant(r.CCD) : QVariant());
            insert.setParam(QStringLiteral("BDS"), r.BDS);
            insert.execute();
        }
        db.DTR.CommitRetaining();
        f.prepared.push_back(cards / (double(t.nsecsElapsed()) / 1e9));
        copy = {};

        // Export of the imported folder as vCard 4.0, beside one SELECT read to its end.
        QFile out(work.absoluteFilePath(QStringLiteral("bench_interchange_out.vcf")));
        out.open(QIODevice::WriteOnly);
        ContactExporter exporter(db.DTR, ContactExporter::Format::VCard4, out);
        exporter.addFolder(folder);
        t.restart();
        exporter.run();
        out.close();
        f.exported.push_back(exporter.written() / (double(t.nsecsElapsed()) / 1e9));
        t.restart();
        int n = 0;
        for (rows.open(); !rows.eof(); rows.next())
            n += ContactExporter::rowOf(rows).CD != 0;
        f.selected.push_back(n / (double(t.nsecsElapsed()) / 1e9));
        peak = kibOf("VmHWM:");
        std::printf("run %d: import %.0f/s, prepared insert %.0f/s, export %.0f/s, select %.0f/s\n",
                    run + 1, f.import.back(), f.prepared.back(), f.exported.back(),
                    f.selected.back());
        std::fflush(stdout);
        QDir::setCurrent(QDir::tempPath());
    }
    const auto range = [](const std::vector<double>& v) {
        return std::make_pair(*std::min_element(v.begin(), v.end()),
                              *std::max_element(v.begin(), v.end()));
    };
    const auto line = [&](const char* what, const std::vector<double>& v,
                          const std::vector<double>& anchor, const char* anchorName) {
        std::printf("%-8s %8.0f contacts/s (%.0f-%.0f)   %s %8.0f/s (%.0f-%.0f)   ratio %.2f\n",
                    what, median(v), range(v).first, range(v).second, anchorName, median(anchor),
                    range(anchor).first, range(anchor).second, median(v) / median(anchor));
    };
    line("import", f.import, f.prepared, "prepared insert");
    line("export", f.exported, f.selected, "plain select");
    std::printf("memory: %ld KiB before the import, %ld KiB at a tenth of it, %ld KiB at its end; "
                "peak %ld KiB\n",
                baseline, rssAtTenth, rssAtEnd, peak);
    QFile::remove(file);
    QFile::remove(work.absoluteFilePath(QStringLiteral("bench_interchange_out.vcf")));
    return 0;
}
