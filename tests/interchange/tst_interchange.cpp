// Contacts in and out without a window: files written the way phones, Google and Outlook write
// them, imported and checked column by column; every column through vCard 4.0, 3.0 and CSV and
// back; duplicates; damaged and hostile files.
#include "PersonalFixture.h"
#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"
#include "data/Query.h"
#include "interchange/ContactExporter.h"
#include "interchange/ContactImporter.h"
#include "interchange/ContactSource.h"
#include "interchange/VCardWriter.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const int Karachi = 28, Lahore = 35;

QString data(const char* name) {
    return QStringLiteral(TK_INTERCHANGE_DATA "/") + QLatin1String(name);
}

struct Imported {
    ImportSummary summary;
    QList<ContactRow> rows; // the folder's contacts in order of CD
};

ImportSummary importDevice(Databases& db, int folder, QIODevice& device, const QString& name) {
    DataSetEditor cdt(db.DTR);
    EditingStatements::configureContact(cdt);
    std::unique_ptr<ContactSource> source = ContactSource::open(device, name);
    ContactImporter importer(cdt, db.DTR, folder, *source);
    importer.run();
    return importer.summary();
}

QList<ContactRow> folderRows(Databases& db, int folder) {
    QList<ContactRow> rows;
    Query q(db.DTR);
    q.setSql(QStringLiteral("SELECT %1 FROM CONT WHERE CTCD=%2 ORDER BY CD")
                 .arg(ContactExporter::columns())
                 .arg(folder));
    for (q.open(); !q.eof(); q.next())
        rows << ContactExporter::rowOf(q);
    return rows;
}

Imported importFile(PersonalFixture& f, int folder, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    Imported result;
    result.summary = importDevice(f.db(), folder, file, path);
    result.rows = folderRows(f.db(), folder);
    return result;
}

Imported importBytes(PersonalFixture& f, int folder, const QByteArray& bytes, const QString& name) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Imported result;
    result.summary = importDevice(f.db(), folder, buffer, name);
    result.rows = folderRows(f.db(), folder);
    return result;
}

QByteArray exportFolder(Databases& db, int folder, ContactExporter::Format format) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ContactExporter exporter(db.DTR, format, out);
    exporter.addFolder(folder);
    exporter.run();
    return out.data();
}

// Every column the mapping fills, compared one by one so a failure names the column.
void compareRows(const ContactRow& got, const ContactRow& want) {
    QCOMPARE(got.CNAM, want.CNAM);
    QCOMPARE(got.PNAM, want.PNAM);
    QCOMPARE(got.PDSG, want.PDSG);
    QCOMPARE(got.ADR, want.ADR);
    QCOMPARE(got.ZCD, want.ZCD);
    QCOMPARE(got.CCD, want.CCD);
    QCOMPARE(got.PHN, want.PHN);
    QCOMPARE(got.MOB, want.MOB);
    QCOMPARE(got.FAX, want.FAX);
    QCOMPARE(got.UAN, want.UAN);
    QCOMPARE(got.EML, want.EML);
    QCOMPARE(got.WEB, want.WEB);
    QCOMPARE(got.BTP, want.BTP);
    QCOMPARE(got.BDS, want.BDS);
}
} // namespace

class InterchangeTest : public QObject {
    Q_OBJECT
private slots:
    void androidExportWithQuotedPrintableUrduAndPhoto() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Phone"));
        const Imported r = importFile(f, folder, data("android21.vcf"));
        QCOMPARE(r.summary.imported, 3);
        QCOMPARE(r.summary.unreadable, 0);
        QCOMPARE(r.rows.size(), 3);

        ContactRow urdu;
        urdu.CNAM = QStringLiteral("خان ٹیکسٹائل ملز");
        urdu.PNAM = QStringLiteral("عمران خان");
        urdu.ADR = QStringLiteral("پلاٹ ۱۲، سائٹ ایریا, Sindh, Pakistan");
        urdu.ZCD = QStringLiteral("75700");
        urdu.CCD = Karachi;
        urdu.PHN = QStringLiteral("021-34567890");
        urdu.MOB = QStringLiteral("+92 300 1234567");
        urdu.FAX = QStringLiteral("021-34567891");
        urdu.EML = QStringLiteral("imran@example.pk");
        urdu.BDS = QStringLiteral("کراچی کی مشہور کمپنی، ۱۹۸۰ سے۔ Exporters of cotton yarn and "
                                  "fabrics to Europe and the Gulf.");
        compareRows(r.rows[0], urdu);

        ContactRow jose;
        jose.CNAM = QStringLiteral("JOSÉ MÜLLER");
        jose.PHN = QStringLiteral("042-35761234");
        jose.MOB = QStringLiteral("0321-7654321,0333-1112223");
        jose.EML = QStringLiteral("jose.muller@example.com");
        jose.BDS = QStringLiteral("E-Mail (home): jose@example.org\nBirthday: 1975-04-23\n"
                                  "Nickname: Pepe");
        compareRows(r.rows[1], jose);

        ContactRow zoe; // ISO-8859-1 quoted-printable
        zoe.CNAM = QStringLiteral("ZOË ÅNGSTRÖM");
        zoe.PHN = QStringLiteral("+46 8 123 456");
        compareRows(r.rows[2], zoe);
    }

    void iphoneCardWithGroupsAndFoldedLines() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Suppliers"));
        const Imported r = importFile(f, folder, data("iphone30.vcf"));
        QCOMPARE(r.summary.imported, 1);
        ContactRow want;
        want.CNAM = QStringLiteral("QURESHI & SONS PHARMACEUTICALS");
        want.PNAM = QStringLiteral("Ayesha Qureshi");
        want.PDSG = QStringLiteral(
            "Director of International Sales and Business Development for the Middle East");
        want.ADR = QStringLiteral("45-B Gulberg III, Main Boulevard, Punjab, Pakistan");
        want.ZCD = QStringLiteral("54660");
        want.CCD = Lahore;
        want.PHN = QStringLiteral("+92 42 111 222 333");
        want.MOB = QStringLiteral("+92 321 5556677");
        want.FAX = QStringLiteral("+92 42 3575 0001");
        want.UAN = QStringLiteral("+92 42 3575 0000"); // item3.TEL labelled "UAN"
        want.EML = QStringLiteral("ayesha@qureshi-sons.example");
        want.WEB = QStringLiteral("www.qureshi-sons.example");
        want.BTP = QStringLiteral("Suppliers, Pharma");
        want.BDS = QStringLiteral("Met at the Dubai trade fair, 2023. Prefers WhatsApp; calls "
                                  "after 4 pm.\nAsk about the new catalogue.\n"
                                  "Department: Export Department\n"
                                  "E-Mail: sales@qureshi-sons.example\n"
                                  "Brother: Hamza Qureshi\n"
                                  "Address (home): 12 Canal View, Lahore, Pakistan, 54000");
        compareRows(r.rows[0], want);
    }

    void vcard4WithTelUris() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Transport"));
        const Imported r = importFile(f, folder, data("vcard40.vcf"));
        QCOMPARE(r.summary.imported, 1);
        ContactRow want;
        want.CNAM = QStringLiteral("INDUS VALLEY LOGISTICS");
        want.PNAM = QStringLiteral("Farhan Siddiqui");
        want.PDSG = QStringLiteral("Fleet manager");
        want.ADR = QStringLiteral("Bin Qasim Industrial Zone, Suite 4, Sindh, Pakistan");
        want.ZCD = QStringLiteral("75020");
        want.CCD = Karachi; // "karachi" in the file
        want.PHN = QStringLiteral("+92-21-3456-7000,+92-21-3456-7001");
        want.MOB = QStringLiteral("+92-300-2223344");
        want.FAX = QStringLiteral("+92-21-3456-7009");
        want.UAN = QStringLiteral("+92-21-111-486-486");
        want.EML = QStringLiteral("farhan@indusvalley.example");
        want.WEB = QStringLiteral("https://indusvalley.example/");
        want.BTP = QStringLiteral("Logistics, Transport, road");
        want.BDS = QStringLiteral("Contract renewal every March.\n"
                                  "IM: xmpp:farhan@chat.indusvalley.example\nNickname: Fani");
        compareRows(r.rows[0], want);
    }

    void googleAndOutlookCsv() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Clients"));
        Imported r = importFile(f, folder, data("google.csv"));
        QCOMPARE(r.summary.imported, 2);
        ContactRow sana;
        sana.CNAM = QStringLiteral("BAIG BROTHERS TEXTILES");
        sana.PNAM = QStringLiteral("Sana Baig");
        sana.PDSG = QStringLiteral("Procurement Head");
        sana.ADR = QStringLiteral("Plot 7, Sundar Industrial Estate, Raiwind Road, Punjab, "
                                  "Pakistan");
        sana.ZCD = QStringLiteral("55000");
        sana.CCD = Lahore;
        sana.PHN = QStringLiteral("042-3587 1000");
        sana.MOB = QStringLiteral("+92 300 9876543,+92 301 1234000");
        sana.FAX = QStringLiteral("042-3587 1001");
        sana.EML = QStringLiteral("sana@baigbrothers.example");
        sana.WEB = QStringLiteral("baigbrothers.example");
        sana.BTP = QStringLiteral("Clients");
        sana.BDS = QStringLiteral("Orders twice a year, \"bulk\" only.\nCall first.\n"
                                  "Birthday: 1988-11-02\n"
                                  "E-Mail (home): sana.baig@mail.example");
        compareRows(r.rows[0], sana);
        ContactRow ali;
        ali.CNAM = QStringLiteral("ALI RAZA");
        ali.MOB = QStringLiteral("0345-1231231");
        ali.EML = QStringLiteral("ali.raza@mail.example");
        compareRows(r.rows[1], ali);

        const int french = f.addFolder(0, QStringLiteral("Paris"));
        r = importFile(f, french, data("outlook1252.csv")); // Windows-1252, no byte order mark
        QCOMPARE(r.summary.imported, 1);
        ContactRow rene;
        rene.CNAM = QStringLiteral("CAFÉ SOCIÉTÉ");
        rene.PNAM = QStringLiteral("René Lefèvre");
        rene.PDSG = QStringLiteral("Gérant");
        rene.ADR = QStringLiteral("12, rue de l'Église, Paris, France"); // no such city listed
        rene.ZCD = QStringLiteral("75004");
        rene.PHN = QStringLiteral("+33 1 40 00 00 00");
        rene.MOB = QStringLiteral("+33 6 12 34 56 78");
        rene.FAX = QStringLiteral("+33 1 40 00 00 01");
        rene.EML = QStringLiteral("rene@cafe-societe.example");
        rene.WEB = QStringLiteral("www.cafe-societe.example");
        rene.BTP = QStringLiteral("Restaurants, Paris");
        rene.BDS = QStringLiteral("Prix moyen 50 € – réservation conseillée.\nFermé le lundi.\n"
                                  "Pager: 01 40 00 00 09");
        compareRows(r.rows[0], rene);
    }

    void everyColumnRoundTripsThroughEachFormat_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("vCard 4.0") << int(ContactExporter::Format::VCard4);
        QTest::newRow("vCard 3.0") << int(ContactExporter::Format::VCard3);
        QTest::newRow("CSV") << int(ContactExporter::Format::Csv);
    }
    void everyColumnRoundTripsThroughEachFormat() {
        QFETCH(int, format);
        PersonalFixture f;
        const int source = f.addFolder(0, QStringLiteral("Source"));
        const QString longNote =
            QStringLiteral("ملاقات: ") + QString(300, QChar(0x0645)) +
            QStringLiteral("\nSecond line; with, separators \\ and \"quotes\"");
        f.addContact(
            source, QStringLiteral("ÇELIK; STEEL, \"WORKS\""),
            {{QStringLiteral("PNAM"), QStringLiteral("Kamran Çelik")},
             {QStringLiteral("PDSG"), QStringLiteral("Owner, CEO")},
             {QStringLiteral("ADR"), QStringLiteral("Shop 3; Block 5, Saddar")},
             {QStringLiteral("ZCD"), QStringLiteral("74400")},
             {QStringLiteral("CCD"), QString::number(Karachi)},
             {QStringLiteral("PHN"), QStringLiteral("021-111, 021-222 ext 4")},
             {QStringLiteral("MOB"), QStringLiteral("+92 300 1111111,0300-2222222")},
             {QStringLiteral("FAX"), QStringLiteral("021-333")},
             {QStringLiteral("UAN"), QStringLiteral("111-222-333")},
             {QStringLiteral("EML"), QStringLiteral("k@celik.example, sales@celik.example")},
             {QStringLiteral("WEB"), QStringLiteral("www.celik.example/urdu?x=1")},
             {QStringLiteral("BTP"), QStringLiteral("Steel, Hardware")},
             {QStringLiteral("BDS"), longNote}});
        f.addContact(source, QStringLiteral("ONLY A TITLE"));
        const QByteArray file = exportFolder(f.db(), source, ContactExporter::Format(format));
        const int target = f.addFolder(0, QStringLiteral("Target"));
        const Imported r =
            importBytes(f, target, file,
                        format == int(ContactExporter::Format::Csv) ? QStringLiteral("x.csv")
                                                                    : QStringLiteral("x.vcf"));
        QCOMPARE(r.summary.imported, 2);
        QCOMPARE(r.summary.cut, 0);
        QList<ContactRow> want = folderRows(f.db(), source);
        std::sort(want.begin(), want.end(),
                  [](const ContactRow& a, const ContactRow& b) { return a.CNAM < b.CNAM; });
        QCOMPARE(r.rows.size(), 2);
        for (int i = 0; i < 2; ++i)
            compareRows(r.rows[i], want[i]);
    }

    void secondImportOfTheSameFileAddsNothing() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Phone"));
        importFile(f, folder, data("android21.vcf"));
        const Imported again = importFile(f, folder, data("android21.vcf"));
        QCOMPARE(again.summary.imported, 0);
        QCOMPARE(again.summary.duplicates, 3);
        QCOMPARE(again.rows.size(), 3);
        // Same title and first number with other punctuation: a duplicate; another number: not.
        const Imported third = importBytes(
            f, folder,
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë Ångström\r\nTEL:+46 (8) 123-456\r\n"
            "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë Ångström\r\nTEL:+46 8 999\r\n"
            "END:VCARD\r\n",
            QStringLiteral("z.vcf"));
        QCOMPARE(third.summary.duplicates, 1);
        QCOMPARE(third.summary.imported, 1);
        // Another folder takes the same cards.
        const int other = f.addFolder(0, QStringLiteral("Other"));
        QCOMPARE(importFile(f, other, data("android21.vcf")).summary.imported, 3);
    }

    void damagedCardsAreSkippedAndCounted() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Damaged"));
        QByteArray text;
        text += "\xEF\xBB\xBF"; // byte order mark
        text += "BEGIN:VCARD\nVERSION:2.1\nFN:First\nBEGIN:VCARD\nVERSION:2.1\nFN:Second\n"
                "END:VCARD\n";            // first never ended
        text += "garbage \x01\x02\xff\n"; // between cards
        text += "BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caf=C3\nEND:VCARD\n";
        text += "BEGIN:VCARD\nFN:Bad \xC3\x28 UTF-8\nEND:VCARD\n";
        text += "BEGIN:VCARD\nNOTE:" + QByteArray(3 << 20, 'x') + "\nFN:Huge\nEND:VCARD\n";
        text += "BEGIN:VCARD\nFN:Last\n"; // cut off
        const Imported r = importBytes(f, folder, text, QStringLiteral("d.vcf"));
        QStringList titles;
        for (const ContactRow& row : r.rows)
            titles << row.CNAM;
        // A character cut in the middle and invalid UTF-8 are read as Windows-1252: kept.
        QCOMPARE(titles, (QStringList{QStringLiteral("SECOND"), QStringLiteral("CAFÃ"),
                                      QStringLiteral("BAD Ã( UTF-8")}));
        QCOMPARE(r.summary.unreadable, 3); // "First", "Huge", "Last"
    }

    void hostileCsvAndSqlText() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Hostile"));
        // Header only.
        Imported r = importBytes(f, folder, "Name,Phone\r\n", QStringLiteral("h.csv"));
        QCOMPARE(r.summary.imported, 0);
        QCOMPARE(r.summary.unreadable, 0);
        // SQL in every field, a semicolon file, an unbalanced quote that runs to the end.
        const QByteArray sql = "Robert' OR '1'='1' -- DROP TABLE CONT";
        QByteArray csv = "Company;Phone;Notes;E-mail\r\n";
        csv += sql + ";" + sql + ";" + sql + ";" + sql + "\r\n";
        csv += "\"Never closed;1;2;3\r\nmore\r\n";
        r = importBytes(f, folder, csv, QStringLiteral("s.csv"));
        QCOMPARE(r.summary.imported, 1);
        QCOMPARE(r.rows[0].CNAM, QString::fromLatin1(sql).toUpper());
        QCOMPARE(r.rows[0].PHN, QString::fromLatin1(sql));
        QCOMPARE(r.rows[0].BDS, QString::fromLatin1(sql));
        QCOMPARE(r.rows[0].EML, QString::fromLatin1(sql));
        QCOMPARE(r.summary.unreadable, 1); // the quote never closed
        // Binary garbage: nothing, no crash.
        QByteArray garbage;
        for (int i = 0; i < 20000; ++i)
            garbage += char((i * 7919) % 256);
        r = importBytes(f, folder, garbage, QStringLiteral("g.csv"));
        QVERIFY(r.summary.imported >= 0);
        QCOMPARE(f.count(QStringLiteral("CONT"), QStringLiteral("CTCD=%1").arg(folder)),
                 1 + r.summary.imported);
    }

    void utf16TabSeparatedAndValuesCutToFit() {
        PersonalFixture f;
        const int folder = f.addFolder(0, QStringLiteral("Excel"));
        const QString text = QStringLiteral("Company\tMobile\tNotes\r\nشیخ ٹریڈرز\t0300-1\t") +
                             QString(2500, u'ن') + QStringLiteral("\r\n");
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text)
            bytes += char(c.unicode() & 0xFF), bytes += char(c.unicode() >> 8);
        const Imported r = importBytes(f, folder, bytes, QStringLiteral("u.csv"));
        QCOMPARE(r.summary.imported, 1);
        QCOMPARE(r.summary.cut, 1);
        QCOMPARE(r.rows[0].CNAM, QStringLiteral("شیخ ٹریڈرز"));
        QCOMPARE(r.rows[0].MOB, QStringLiteral("0300-1"));
        QCOMPARE(r.rows[0].BDS, QString(2000, u'ن'));
    }

    void foldingKeepsCharactersWhole() {
        ContactRow row;
        row.CNAM = QString(60, QChar(0x0628));      // two octets each
        row.BDS = QStringLiteral("😀").repeated(40); // four octets each
        const QByteArray card = VCardWriter::card(row, QString(), VCardWriter::Version::V4);
        for (const QByteArray& line : card.split('\n')) {
            const QByteArray physical = line.endsWith('\r') ? line.chopped(1) : line;
            QVERIFY2(physical.size() <= 75, physical.constData());
            QVERIFY(QString::fromUtf8(physical).toUtf8() == physical); // no split sequence
        }
        QVERIFY(card.endsWith("END:VCARD\r\n"));
    }
};

QTEST_GUILESS_MAIN(InterchangeTest)
#include "tst_interchange.moc"
