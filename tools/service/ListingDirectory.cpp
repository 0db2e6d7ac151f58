#include "ListingDirectory.h"

#include <QRandomGenerator>

namespace {
struct City {
    int cd;
    const char* name;
    const char* code;
    const char* zip;
};
const City Cities[] = {
    {35, "Lahore", "042", "54000"},     {28, "Karachi", "021", "74200"},
    {24, "Islamabad", "051", "44000"},  {57, "Rawalpindi", "051", "46000"},
    {15, "Faisalabad", "041", "38000"}, {46, "Multan", "061", "60000"},
    {54, "Peshawar", "091", "25000"},   {55, "Quetta", "081", "87300"},
    {63, "Sialkot", "052", "51310"},    {18, "Gujranwala", "055", "52250"},
    {23, "Hyderabad", "022", "71000"},  {6, "Bahawalpur", "062", "63100"},
    {60, "Sargodha", "048", "40100"},   {65, "Sukkur", "071", "65200"},
    {2, "Abbottabad", "0992", "22010"}, {41, "Mardan", "0937", "23200"},
};

// A kind of business, the words its names are made of and what it describes itself with.
struct Kind {
    const char* business;
    const char* nouns[3];
    const char* description;
};
const Kind Kinds[] = {
    {"Car Dealers",
     {"Motors", "Autos", "Car Bazaar"},
     "New and used cars, trade-in and bank financing. Toyota, Honda and Suzuki models in stock."},
    {"Tyres & Batteries",
     {"Tyre House", "Tyre Centre", "Wheel Point"},
     "Tyres, alloy wheels and batteries for cars and trucks; wheel alignment and balancing."},
    {"Auto Workshops",
     {"Auto Workshop", "Motor Works", "Car Care"},
     "Engine tuning, denting and painting, AC repair and general service for all makes."},
    {"Textile Mills",
     {"Textile Mills", "Fabrics", "Weaving Mills"},
     "Cotton yarn, grey cloth and finished fabric for local and export markets."},
    {"Garments & Apparel",
     {"Garments", "Apparel", "Fashions"},
     "Ready-made garments, knitwear and school uniforms; wholesale and retail."},
    {"Restaurants",
     {"Restaurant", "Grill", "Food Street"},
     "Pakistani and Chinese cuisine, family hall, home delivery and catering for events."},
    {"Hotels & Guest Houses",
     {"Hotel", "Guest House", "Inn"},
     "Air-conditioned rooms, conference hall, free Wi-Fi and airport pick-up."},
    {"Hospitals & Clinics",
     {"Hospital", "Medical Centre", "Clinic"},
     "24-hour emergency, laboratory, X-ray and specialist consultants."},
    {"Pharmacies",
     {"Pharmacy", "Medical Store", "Chemists"},
     "Medicines, surgical items and baby care products; open till midnight."},
    {"Schools & Colleges",
     {"School System", "College", "Academy"},
     "Matric, O and A level classes, science labs and transport for students."},
    {"Computer & IT",
     {"Computers", "Technologies", "IT Solutions"},
     "Laptops, networking, software development and web hosting."},
    {"Mobile Phones",
     {"Mobile Centre", "Cell Zone", "Mobiles"},
     "New and used mobile phones, accessories, repair and easy instalments."},
    {"Real Estate",
     {"Estate Advisers", "Properties", "Builders"},
     "Plots, houses and commercial property for sale and rent; legal documentation."},
    {"Travel Agents",
     {"Travels", "Tours", "Travel Services"},
     "Air tickets, Hajj and Umrah packages, visa assistance and hotel booking."},
    {"Construction Materials",
     {"Steel Traders", "Cement Depot", "Building Materials"},
     "Cement, steel bars, bricks, tiles and sanitary fittings at wholesale rates."},
    {"Electronics",
     {"Electronics", "Electric Store", "Appliances"},
     "Refrigerators, air conditioners, LED TVs and UPS with warranty."},
    {"Furniture",
     {"Furniture", "Interiors", "Wood Works"},
     "Sheesham wood bedroom sets, sofas, office furniture and custom orders."},
    {"Jewellers",
     {"Jewellers", "Gold Smiths", "Gems"},
     "Gold and silver jewellery, bridal sets and precious stones."},
    {"Printing & Packaging",
     {"Printers", "Press", "Packages"},
     "Offset printing, cartons, labels, visiting cards and wedding cards."},
    {"Sports Goods",
     {"Sports", "Sports Industries", "Leather Works"},
     "Footballs, cricket bats, gloves and sportswear; export quality."},
    {"Surgical Instruments",
     {"Surgical", "Instruments", "Medical Industries"},
     "Stainless steel surgical and dental instruments for export."},
    {"Courier Services",
     {"Couriers", "Cargo", "Logistics"},
     "Overnight parcel delivery, cargo and cash on delivery across Pakistan."},
    {"Banks & Finance",
     {"Finance", "Investments", "Modaraba"},
     "Car and house financing, savings accounts and business loans."},
    {"Bakeries & Sweets",
     {"Bakers", "Sweets", "Confectioners"},
     "Fresh bread, cakes, mithai and nimko; orders for weddings and events."},
};

const char* const Families[] = {"Khan",   "Ahmed",   "Malik",    "Butt",   "Chaudhry",
                                "Sheikh", "Qureshi", "Siddiqui", "Hashmi", "Rana",
                                "Mirza",  "Awan",    "Baig",     "Javed",  "Iqbal",
                                "Shah",   "Bhatti",  "Gillani",  "Raza",   "Naqvi"};
const char* const Given[] = {"Muhammad", "Ali",   "Usman",  "Bilal",  "Hamza",  "Imran",
                             "Tariq",    "Asif",  "Saima",  "Ayesha", "Farah",  "Nadia",
                             "Kamran",   "Zahid", "Shahid", "Naveed", "Faisal", "Sana",
                             "Rizwan",   "Adnan", "Waqas",  "Amna",   "Hina",   "Junaid"};
const char* const Designations[] = {"Manager",         "Director",         "Proprietor",
                                    "Chief Executive", "Sales Manager",    "Partner",
                                    "General Manager", "Marketing Officer"};
const char* const Streets[] = {"Main Boulevard",  "Mall Road",      "Jinnah Avenue",
                               "G.T. Road",       "Circular Road",  "Shahrah-e-Faisal",
                               "Saddar Bazaar",   "Liberty Market", "Blue Area",
                               "University Road", "Canal Road",     "Ferozepur Road"};
const char* const Colours[] = {"#FFF2CC", "#E2F0D9", "#DDEBF7", "#FCE4D6"};

QString pick(QRandomGenerator& r, const char* const* list, int size) {
    return QString::fromLatin1(list[r.bounded(size)]);
}

template <typename T, int N> constexpr int count(const T (&)[N]) {
    return N;
}

QString digits(QRandomGenerator& r, int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + r.bounded(10));
    return s;
}

QString slug(const QString& name) {
    QString s;
    for (QChar c : name.toLower())
        if (c.isLetterOrNumber())
            s += c;
    return s;
}
} // namespace

ListingDirectory::ListingDirectory(int count) {
    generate(count);
}

void ListingDirectory::generate(int total) {
    QRandomGenerator r(20240611);
    m_listings.reserve(total);
    for (int i = 0; i < total; ++i) {
        const City& city = Cities[r.bounded(count(Cities))];
        const Kind& kind = Kinds[r.bounded(count(Kinds))];
        const QString family = pick(r, Families, count(Families));
        const QString noun = QString::fromLatin1(kind.nouns[r.bounded(3)]);
        const QString cityName = QString::fromLatin1(city.name);
        QString title;
        switch (r.bounded(3)) {
        case 0:
            title = family + u' ' + noun;
            break;
        case 1:
            title = cityName + u' ' + noun;
            break;
        default:
            title = QStringLiteral("New ") + family + u' ' + noun;
            break;
        }
        const QString web = QStringLiteral("www.") + slug(title) + QStringLiteral(".com.pk");
        const bool withPerson = r.bounded(10) < 8;
        const QString code = QString::fromLatin1(city.code);
        QString phone = code + u'-' + digits(r, 10 - code.size() + 1);
        if (r.bounded(3) == 0)
            phone += QStringLiteral(", ") + code + u'-' + digits(r, 10 - code.size() + 1);
        const QString mobile = r.bounded(5) < 4
                                   ? QStringLiteral("03%1-%2").arg(digits(r, 2), digits(r, 7))
                                   : QString();

        Listing l;
        l.id = 100001 + i;
        l.city = city.cd;
        l.texts = {
            title,
            withPerson ? pick(r, Given, count(Given)) + u' ' + family : QString(),
            withPerson && r.bounded(2) ? pick(r, Designations, count(Designations)) : QString(),
            QStringLiteral("%1 %2, %3, Pakistan")
                .arg(QString::number(1 + r.bounded(250)), pick(r, Streets, count(Streets)),
                     cityName),
            QString::fromLatin1(city.zip),
            phone,
            mobile,
            r.bounded(6) == 0 ? QStringLiteral("111-") + digits(r, 3) + u'-' + digits(r, 3)
                              : QString(),
            r.bounded(3) == 0 ? code + u'-' + digits(r, 10 - code.size() + 1) : QString(),
            r.bounded(4) < 3 ? QStringLiteral("info@") + slug(title) + QStringLiteral(".com.pk")
                             : QString(),
            r.bounded(3) < 2 ? web : QString(),
            QString::fromLatin1(kind.business),
            QString::fromLatin1(kind.description),
            r.bounded(12) == 0 ? QString::fromLatin1(Colours[r.bounded(count(Colours))])
                               : QString(),
        };
        m_haystacks.append(
            (QString::number(l.id) + u' ' + l.texts.mid(0, 13).join(u' ')).toUpper());
        m_listings.append(std::move(l));
    }
}

QVector<int> ListingDirectory::search(const QString& text) const {
    const QStringList words = text.toUpper().split(u' ', Qt::SkipEmptyParts);
    QVector<int> found;
    if (words.isEmpty())
        return found;
    for (int i = 0; i < m_haystacks.size(); ++i) {
        bool all = true;
        for (const QString& w : words)
            if (!m_haystacks[i].contains(w)) {
                all = false;
                break;
            }
        if (all)
            found.append(i);
    }
    return found;
}

QByteArray ListingDirectory::reply(const QString& text) const {
    const QVector<int> found = search(text);
    QByteArray out = QByteArray::number(found.size()) + " Records Found>";
    for (int i : found) {
        const Listing& l = m_listings[i];
        out += QByteArray::number(l.id);
        out += char(31);
        out += QByteArray::number(l.city);
        for (const QString& t : l.texts) {
            out += char(31);
            out += t.toLatin1();
        }
        out += char(30);
    }
    return out;
}
