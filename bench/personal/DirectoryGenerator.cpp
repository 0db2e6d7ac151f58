#include "DirectoryGenerator.h"

#include "data/Databases.h"
#include "data/Query.h"

#include <QRegularExpression>

namespace {
const QList<const char*> CompanyFirst = {
    "Al-Noor", "Madina",  "Habib",    "Faisal",    "Shaheen", "Pak",     "Crescent", "Indus",
    "Punjab",  "Mehran",  "Khyber",   "Ravi",      "Chenab",  "Jinnah",  "Iqbal",    "Hilal",
    "Najam",   "Fazal",   "Sitara",   "Kohinoor",  "Nishat",  "Gul",     "Tariq",    "Haider",
    "Saif",    "Zam Zam", "Al-Fatah", "Bismillah", "Rehmat",  "Barkat",  "Sadiq",    "Awami",
    "Qasim",   "Usmania", "Ittefaq",  "Premier",   "Royal",   "Capital", "Margalla", "Sialkot"};
const QList<const char*> CompanyLast = {
    "Traders",     "Textiles",         "Enterprises", "Industries",  "Brothers",
    "& Sons",      "Corporation",      "Associates",  "Steel Mills", "Pharma",
    "Electronics", "Motors",           "Foods",       "Builders",    "Surgical Works",
    "Sports",      "Leather Garments", "Rice Mills",  "Chemicals",   "Printers",
    "Travels",     "Jewellers",        "Furniture",   "Cables",      "Software House"};
const QList<const char*> FirstNames = {"Muhammad", "Ali",  "Ahmed", "Bilal", "Usman",   "Imran",
                                       "Kamran",   "Asif", "Tariq", "Zahid", "Faisal",  "Hamza",
                                       "Saad",     "Omer", "Waqas", "Adnan", "Sana",    "Ayesha",
                                       "Fatima",   "Hina", "Nadia", "Sadia", "Mehwish", "Rabia"};
const QList<const char*> LastNames = {
    "Khan",    "Malik",  "Sheikh", "Qureshi", "Chaudhry", "Butt",   "Siddiqui", "Hashmi",
    "Raza",    "Javed",  "Iqbal",  "Rana",    "Mirza",    "Abbasi", "Baig",     "Awan",
    "Gillani", "Bhatti", "Cheema", "Ansari",  "Mughal",   "Niazi",  "Durrani",  "Shah"};
const QList<const char*> Designations = {
    "Proprietor", "CEO",     "Director",          "General Manager", "Sales Manager",
    "Accountant", "Partner", "Marketing Manager", "Owner",           "Manager Purchase"};
const QList<const char*> Businesses = {"Textile",
                                       "Import / Export",
                                       "Pharmaceuticals",
                                       "Software",
                                       "Real Estate",
                                       "Construction",
                                       "Auto Parts",
                                       "Rice Export",
                                       "Surgical Instruments",
                                       "Sports Goods",
                                       "Leather Garments",
                                       "Wholesale Grocery",
                                       "Printing & Packaging",
                                       "Travel Agency",
                                       "Electrical Goods",
                                       "Furniture",
                                       "Chemicals",
                                       "Steel",
                                       "Jewellery",
                                       "Courier"};
struct City {
    const char* name;
    int cd;
    const char* code;
    QList<const char*> areas;
};
const QList<City> Cities = {
    {"Karachi",
     28,
     "021",
     {"PECHS", "Clifton", "Saddar", "SITE", "Korangi", "Gulshan-e-Iqbal", "DHA Phase 6"}},
    {"Lahore",
     35,
     "042",
     {"Gulberg III", "Model Town", "Johar Town", "Anarkali", "Shahdara", "DHA Phase 5"}},
    {"Islamabad", 24, "051", {"Blue Area", "F-7 Markaz", "G-9", "I-9 Industrial Area", "F-10"}},
    {"Rawalpindi", 57, "051", {"Saddar", "Raja Bazar", "Satellite Town", "Chaklala"}},
    {"Faisalabad", 15, "041", {"D Ground", "Jinnah Colony", "Madina Town", "Susan Road"}},
    {"Multan", 46, "061", {"Hussain Agahi", "Bosan Road", "Cantt", "Gulgasht"}},
    {"Peshawar", 54, "091", {"Saddar", "Hayatabad", "University Road", "Qissa Khwani"}},
    {"Sialkot", 63, "052", {"Kashmir Road", "Paris Road", "Small Industrial Estate"}},
    {"Quetta", 55, "081", {"Jinnah Road", "Satellite Town", "Sariab Road"}},
    {"Hyderabad", 23, "022", {"Latifabad", "Qasimabad", "Saddar"}}};
const QList<const char*> Regions = {"Karachi", "Lahore",    "Islamabad",  "Punjab",
                                    "Sindh",   "Khyber",    "Clients",    "Suppliers",
                                    "Banks",   "Exporters", "Government", "Personal"};
const QList<const char*> FolderWords = {
    "Textile", "Retail",     "Wholesale", "North",   "South",     "East",     "West",
    "Central", "Industrial", "Export",    "Pharma",  "Auto",      "Software", "Food",
    "Steel",   "Leather",    "Travel",    "Banking", "Insurance", "Education"};
} // namespace

QString DirectoryGenerator::pick(const QList<const char*>& list) {
    return QString::fromLatin1(list[int(m_random.bounded(quint32(list.size())))]);
}

QString DirectoryGenerator::digits(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + int(m_random.bounded(10u)));
    return s;
}

QList<int> DirectoryGenerator::addFolders(Databases& db, int count, int depth) {
    Query insert(db.DTR);
    insert.setSql(
        QStringLiteral("INSERT INTO CATE (CD, PCD, TITLE, COM) VALUES (:CD, :PCD, :TITLE, :COM)"));
    QList<int> ids;
    QList<int> levelOf;
    int next =
        db.MM.QueryInteger(QStringLiteral("GEN_ID(GEN_CATE, 0)"), QStringLiteral("RDB$DATABASE")) +
        1;
    for (int i = 0; i < count; ++i) {
        int parent = 0, level = 1;
        if (i >= Regions.size()) {
            // Any earlier folder that is not yet at the deepest level.
            for (;;) {
                const int p = int(m_random.bounded(quint32(ids.size())));
                if (levelOf[p] < depth) {
                    parent = ids[p];
                    level = levelOf[p] + 1;
                    break;
                }
            }
        }
        const QString title = i < Regions.size() ? QString::fromLatin1(Regions[i])
                                                 : pick(FolderWords) + u' ' + pick(CompanyFirst);
        insert.setParam("CD", next);
        insert.setParam("PCD", parent);
        insert.setParam("TITLE", title);
        insert.setParam("COM", QStringLiteral("%1 contacts, level %2").arg(title).arg(level));
        insert.execute();
        ids << next;
        levelOf << level;
        ++next;
    }
    db.MM.ExecStatement(QStringLiteral("SET GENERATOR GEN_CATE TO %1").arg(next - 1));
    db.DTR.CommitRetaining();
    return ids;
}

QString DirectoryGenerator::companyName(int index) {
    if (index % 100 == 37)
        return RareWord + u' ' + pick(CompanyLast);
    if (m_random.bounded(4u) == 0)
        return pick(FirstNames) + u' ' + pick(LastNames) + u' ' + pick(CompanyLast);
    return pick(CompanyFirst) + u' ' + pick(CompanyLast);
}

void DirectoryGenerator::addContacts(Databases& db, const QList<int>& folders, int count) {
    Query insert(db.DTR);
    insert.setSql(QStringLiteral(
        "INSERT INTO CONT (CTCD, CD, PCD, CNAM, PNAM, PDSG, ADR, ZCD, PHN, MOB, UAN, FAX, EML, "
        "WEB, "
        "CCD, BTP, BDS, HOT, CT, LU) VALUES (:CTCD, :CD, :PCD, :CNAM, :PNAM, :PDSG, :ADR, :ZCD, "
        ":PHN, :MOB, :UAN, :FAX, :EML, :WEB, :CCD, :BTP, :BDS, :HOT, CURRENT_TIMESTAMP, "
        "CURRENT_TIMESTAMP)"));
    int next =
        db.MM.QueryInteger(QStringLiteral("GEN_ID(GEN_CONT, 0)"), QStringLiteral("RDB$DATABASE")) +
        1;
    for (int i = 0; i < count; ++i) {
        const City& city = Cities[int(m_random.bounded(quint32(Cities.size())))];
        const QString name = companyName(i);
        QString slug = name.toLower();
        slug.remove(QRegularExpression(QStringLiteral("[^a-z]")));
        const QString area =
            QString::fromLatin1(city.areas[int(m_random.bounded(quint32(city.areas.size())))]);
        const QString phone = QString::fromLatin1(city.code) + u'-' + digits(8);
        const int folder = folders[int(m_random.bounded(quint32(folders.size())))];
        insert.setParam("CTCD", folder);
        insert.setParam("CD", next + i);
        insert.setParam("PCD", folder);
        insert.setParam("CNAM", name);
        insert.setParam("PNAM", pick(FirstNames) + u' ' + pick(LastNames));
        insert.setParam("PDSG", pick(Designations));
        insert.setParam("ADR", QStringLiteral("%1 %2, %3, %4")
                                   .arg(m_random.bounded(2u) ? QStringLiteral("Plot")
                                                             : QStringLiteral("Office"))
                                   .arg(1 + m_random.bounded(300u))
                                   .arg(area, QString::fromLatin1(city.name)));
        insert.setParam("ZCD", QString::number(10000 + m_random.bounded(89999u)));
        insert.setParam("PHN", m_random.bounded(3u) == 0
                                   ? phone + QStringLiteral(", ") + QString::fromLatin1(city.code) +
                                         u'-' + digits(8)
                                   : phone);
        insert.setParam("MOB", QStringLiteral("03%1-%2")
                                   .arg(m_random.bounded(50u), 2, 10, QChar(u'0'))
                                   .arg(digits(7)));
        insert.setParam("UAN", m_random.bounded(5u) == 0
                                   ? QStringLiteral("111-") + digits(3) + u'-' + digits(3)
                                   : QVariant());
        insert.setParam("FAX", m_random.bounded(2u)
                                   ? QString::fromLatin1(city.code) + u'-' + digits(8)
                                   : QVariant());
        insert.setParam("EML", QStringLiteral("info@%1.com.pk").arg(slug));
        insert.setParam("WEB", m_random.bounded(3u) ? QStringLiteral("www.%1.com.pk").arg(slug)
                                                    : QVariant());
        insert.setParam("CCD", city.cd);
        const QString business = pick(Businesses);
        insert.setParam("BTP", business);
        insert.setParam("BDS", QStringLiteral("%1 business in %2, %3. Dealing since %4.")
                                   .arg(business, area, QString::fromLatin1(city.name))
                                   .arg(1960 + m_random.bounded(60u)));
        insert.setParam("HOT", m_random.bounded(200u) == 0 ? QVariant(1) : QVariant());
        insert.execute();
        // One transaction per 50,000 rows: a retained commit keeps every earlier version
        // reachable, so a million rows in one transaction would grow the file without bound.
        if (i % RowsPerTransaction == RowsPerTransaction - 1)
            db.DTR.commit();
    }
    db.MM.ExecStatement(QStringLiteral("SET GENERATOR GEN_CONT TO %1").arg(next + count - 1));
    db.DTR.commit();
}
