#include "PtclDirectory.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

struct City {
    const char* name;
    const char* code;
};

// Cities whose area code has three digits, as the directory writes them in front of a number.
constexpr City Cities[] = {
    {"Karachi", "021"},    {"Lahore", "042"},     {"Islamabad", "051"},   {"Rawalpindi", "051"},
    {"Faisalabad", "041"}, {"Multan", "061"},     {"Hyderabad", "022"},   {"Peshawar", "091"},
    {"Quetta", "081"},     {"Gujranwala", "055"}, {"Sialkot", "052"},     {"Sukkur", "071"},
    {"Sargodha", "048"},   {"Bahawalpur", "062"}, {"Sheikhupura", "056"}, {"Kasur", "049"},
    {"Okara", "044"},      {"Sahiwal", "040"},    {"Gujrat", "053"},      {"Larkana", "074"},
};

constexpr const char* GivenNames[] = {
    "MUHAMMAD", "AHMED",  "ALI",    "HASSAN",  "USMAN",  "BILAL",  "IMRAN",  "TARIQ",
    "FAROOQ",   "ZAHID",  "NASIR",  "SAJID",   "KHALID", "ASIF",   "RASHID", "SHAHID",
    "NADEEM",   "WASEEM", "FAISAL", "KAMRAN",  "AYESHA", "FATIMA", "SADIA",  "NAHEED",
    "RUKHSANA", "SHAZIA", "SAMINA", "NASREEN", "ABDUL",  "GHULAM", "MIAN",   "RANA"};

constexpr const char* FamilyNames[] = {
    "KHAN",   "QURESHI", "SHEIKH",   "MALIK",  "BUTT",   "CHAUDHRY", "AWAN",    "RAJPUT",
    "JUTT",   "MIRZA",   "SIDDIQUI", "ANSARI", "HASHMI", "GILANI",   "BHATTI",  "ABBASI",
    "BALOCH", "MEMON",   "SHAH",     "RAZA",   "IQBAL",  "AKHTAR",   "HUSSAIN", "SAEED"};

constexpr const char* Businesses[] = {"TRADERS",       "& SONS",        "ENTERPRISES", "CLINIC",
                                      "MEDICAL STORE", "GENERAL STORE", "PHARMACY",    "AUTOS",
                                      "ELECTRONICS",   "TEXTILE MILLS", "CORPORATION", "BROTHERS"};

constexpr const char* Streets[] = {
    "MALL ROAD",      "JINNAH ROAD",      "MAIN BOULEVARD",  "CIRCULAR ROAD", "GT ROAD",
    "CANAL ROAD",     "SHAHRAH-E-FAISAL", "UNIVERSITY ROAD", "RAILWAY ROAD",  "COLLEGE ROAD",
    "CHURCH ROAD",    "FAISAL BAZAR",     "ANARKALI",        "SADDAR",        "MODEL TOWN",
    "SATELLITE TOWN", "GULBERG",          "CANTT",           "CIVIL LINES",   "PEOPLES COLONY"};

template <typename T, std::size_t N> const T& pick(QRandomGenerator& random, const T (&list)[N]) {
    return list[random.bounded(int(N))];
}

QString makeName(QRandomGenerator& random) {
    QString name = QString::fromLatin1(pick(random, GivenNames)) + u' ' +
                   QString::fromLatin1(pick(random, FamilyNames));
    if (random.bounded(4) == 0)
        name += u' ' + QString::fromLatin1(pick(random, Businesses));
    return name;
}

QString makeAddress(QRandomGenerator& random, const City& city) {
    const int house = 1 + random.bounded(400);
    switch (random.bounded(3)) {
    case 0:
        return QStringLiteral("HOUSE %1 %2 %3").arg(house).arg(pick(random, Streets), city.name);
    case 1:
        return QStringLiteral("%1-%2 BLOCK %3 %4")
            .arg(house)
            .arg(QChar(u'A' + random.bounded(8)))
            .arg(pick(random, Streets), city.name);
    default:
        return QStringLiteral("SHOP %1 %2 %3").arg(house).arg(pick(random, Streets), city.name);
    }
}

bool holdsAllWords(const QString& text, const QString& words) {
    const QStringList list = words.split(u' ', Qt::SkipEmptyParts);
    for (const QString& word : list)
        if (!text.contains(word, Qt::CaseInsensitive))
            return false;
    return true;
}

} // namespace

PtclDirectory::PtclDirectory(int size) {
    QRandomGenerator random(20061);
    for (int i = 0; i < size; ++i) {
        const City& city = pick(random, Cities);
        // Seven-digit local numbers, never starting with 0 or 1.
        const QString local = QString::number(2000000 + random.bounded(7999999));
        m_entries.append(
            {QString::fromLatin1(city.code) + local, makeName(random), makeAddress(random, city)});
    }
}

QList<PtclDirectory::Entry> PtclDirectory::byPhone(const QString& digits, int limit) const {
    QList<Entry> found;
    for (const Entry& entry : m_entries) {
        if (found.size() >= limit)
            break;
        if (entry.phone.mid(3).startsWith(digits) || entry.phone.startsWith(digits))
            found.append(entry);
    }
    return found;
}

QList<PtclDirectory::Entry>
PtclDirectory::byNameAndAddress(const QString& name, const QString& address, int limit) const {
    QList<Entry> found;
    if (name.trimmed().isEmpty() && address.trimmed().isEmpty())
        return found;
    for (const Entry& entry : m_entries) {
        if (found.size() >= limit)
            break;
        if (holdsAllWords(entry.name, name) && holdsAllWords(entry.address, address))
            found.append(entry);
    }
    return found;
}
