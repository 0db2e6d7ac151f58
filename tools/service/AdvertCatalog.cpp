#include "AdvertCatalog.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

AdvertCatalog::AdvertCatalog() {
    m_adverts = {
        {"motors",
         "Karachi Motors",
         "New and used cars, tyres, batteries and tuning",
         "021-3456789",
         "#7a1010",
         "#d8452b",
         "car",
         {"car", "cars", "auto", "motor", "tyre", "tyres", "tire", "battery", "vehicle", "garage",
          "workshop", "rent a car"},
         {1}},
        {"spice",
         "Lahore Spice House",
         "Karahi, biryani and catering for every wedding",
         "042-3571234",
         "#6b3d05",
         "#e0952b",
         "plate",
         {"food", "restaurant", "biryani", "karahi", "catering", "hotel", "sweets", "bakery"},
         {1}},
        {"skyline",
         "Skyline Travels",
         "Air tickets, Umrah packages and hotel bookings",
         "051-2873310",
         "#0d3c6e",
         "#2f8fd8",
         "plane",
         {"travel", "ticket", "tickets", "air", "airline", "tour", "umrah", "visa", "hajj"},
         {0, 1}},
        {"pindi",
         "Rawalpindi Computers",
         "Laptops, printers and software with one-year warranty",
         "051-5551920",
         "#1d3b2a",
         "#3fa36b",
         "screen",
         {"computer", "computers", "laptop", "printer", "software", "it", "network"},
         {0, 1, 2}},
        {"broadband",
         "Home Broadband",
         "Fast internet and free evening calls",
         "1218",
         "#184a63",
         "#27a3c4",
         "phone",
         {"ptcl", "phone", "telephone", "internet", "broadband", "landline", "dsl"},
         {2}},
        {"shifa",
         "Shifa Family Clinic",
         "Doctors on call, laboratory and pharmacy round the clock",
         "042-3598765",
         "#14545a",
         "#33b3a6",
         "cross",
         {"doctor", "clinic", "hospital", "medical", "pharmacy", "laboratory", "dental"},
         {1}},
        {"weavers",
         "Faisalabad Weavers",
         "Lawn, cotton and bed linen straight from the loom",
         "041-2645123",
         "#4b1e5c",
         "#a055c2",
         "roll",
         {"textile", "textiles", "cloth", "fabric", "lawn", "cotton", "garments", "tailor"},
         {1}},
        {"estates",
         "Margalla Estates",
         "Plots, houses and shops in every sector",
         "051-2265400",
         "#3d3d10",
         "#a4a032",
         "house",
         {"property", "estate", "house", "plot", "plots", "builder", "construction", "rent"},
         {1}},
        {"diary",
         "Your Own Directory",
         "Keep every contact safe, searchable and printable",
         "",
         "#22345e",
         "#536a9f",
         "book",
         {},
         {0, 2}},
    };
}

const Advert& AdvertCatalog::pick(int page, int counter, const QString& query) const {
    // The query arrives URL-encoded: '+' and "%20" are blanks.
    QString text = QUrl::fromPercentEncoding(QString(query).replace(u'+', u' ').toUtf8());
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"));
    const QStringList said = text.toLower().split(separators, Qt::SkipEmptyParts);
    for (const Advert& advert : m_adverts)
        for (const QString& word : advert.words)
            for (const QString& s : said)
                if (s == word || (word.size() > 3 && s.startsWith(word)))
                    return advert;
    QList<const Advert*> own;
    for (const Advert& advert : m_adverts)
        if (advert.pages.contains(page))
            own << &advert;
    if (own.isEmpty())
        return m_adverts.last();
    return *own.at(qsizetype(unsigned(counter) % unsigned(own.size())));
}

const Advert* AdvertCatalog::find(const QString& id) const {
    for (const Advert& advert : m_adverts)
        if (advert.id == id)
            return &advert;
    return nullptr;
}

namespace {
QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// The motif, drawn in white into a box of size s at (x, y).
QString motif(const QString& kind, int x, int y, int s) {
    const QString t = QStringLiteral("translate(%1,%2) scale(%3)").arg(x).arg(y).arg(s / 100.0);
    QString shapes;
    if (kind == u"car")
        shapes = "<path d='M8 62 L20 40 Q24 34 32 34 L66 34 Q74 34 80 42 L90 54 Q96 56 96 64 L96 "
                 "70 L8 70 Z'/><circle cx='28' cy='72' r='11' fill='#333'/><circle cx='76' "
                 "cy='72' r='11' fill='#333'/><rect x='30' y='40' width='18' height='12' "
                 "fill='#9cc'/><rect x='52' y='40' width='18' height='12' fill='#9cc'/>";
    else if (kind == u"plate")
        shapes = "<ellipse cx='50' cy='62' rx='44' ry='16'/><path d='M22 58 Q50 10 78 58 Z' "
                 "fill='#f4c27a'/><rect x='48' y='20' width='4' height='10'/>";
    else if (kind == u"plane")
        shapes = "<rect x='8' y='45' width='84' height='10' rx='5'/><path d='M42 45 L56 45 L44 "
                 "12 L36 12 Z'/><path d='M42 55 L56 55 L44 88 L36 88 Z'/><path d='M12 45 L20 45 "
                 "L14 30 L10 30 Z'/><path d='M12 55 L20 55 L14 70 L10 70 Z'/>";
    else if (kind == u"screen")
        shapes = "<rect x='12' y='18' width='76' height='50' rx='4'/><rect x='18' y='24' "
                 "width='64' height='38' fill='#2a6'/><rect x='40' y='68' width='20' "
                 "height='10'/><rect x='28' y='78' width='44' height='6'/>";
    else if (kind == u"phone")
        shapes = "<rect x='14' y='40' width='72' height='40' rx='8'/><path d='M10 40 Q50 8 90 "
                 "40 L78 46 Q50 26 22 46 Z'/><circle cx='50' cy='60' r='12' fill='#27a3c4'/>";
    else if (kind == u"cross")
        shapes = "<rect x='38' y='14' width='24' height='72'/><rect x='14' y='38' width='72' "
                 "height='24'/>";
    else if (kind == u"roll")
        shapes = "<rect x='10' y='30' width='80' height='40' rx='20'/><ellipse cx='20' cy='50' "
                 "rx='10' ry='20' fill='#d9b3e6'/>";
    else if (kind == u"house")
        shapes = "<path d='M10 50 L50 14 L90 50 Z'/><rect x='20' y='50' width='60' "
                 "height='38'/><rect x='44' y='64' width='14' height='24' fill='#775'/>";
    else
        shapes = "<rect x='20' y='12' width='60' height='78' rx='4'/><rect x='28' y='22' "
                 "width='44' height='8' fill='#536a9f'/><rect x='28' y='36' width='44' "
                 "height='4' fill='#99a'/><rect x='28' y='46' width='44' height='4' "
                 "fill='#99a'/>";
    return QStringLiteral("<g transform='%1' fill='#ffffff'>%2</g>").arg(t, shapes);
}
} // namespace

QByteArray AdvertCatalog::picture(const Advert& a, int width, int height) {
    const bool tall = height > width;
    const int box = tall ? std::min(width / 2, height * 35 / 100) : height * 8 / 10;
    const int headlineSize = tall ? width / 10 : height * 26 / 100;
    const int taglineSize = tall ? width / 17 : height * 14 / 100;
    QString svg =
        QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='%1' height='%2' "
                       "viewBox='0 0 %1 %2'><defs><linearGradient id='g' x1='0' y1='0' x2='1' "
                       "y2='1'><stop offset='0' stop-color='%3'/><stop offset='1' "
                       "stop-color='%4'/></linearGradient></defs><rect width='%1' height='%2' "
                       "rx='6' fill='url(#g)'/>")
            .arg(width)
            .arg(height)
            .arg(a.colourFrom, a.colourTo);
    const QString text =
        QStringLiteral("<text x='%1' y='%2' font-family='DejaVu Sans, sans-serif' "
                       "font-size='%3' font-weight='%4' fill='#ffffff'%5>%6</text>");
    if (tall) {
        const int top = height / 25;
        svg += motif(a.motif, (width - box) / 2, top, box);
        const QString mid = QStringLiteral(" text-anchor='middle'");
        // A narrow column: the headline one word a line, the tagline wrapped, the phone below.
        int y = top + box + headlineSize + taglineSize / 2;
        for (const QString& word : a.headline.split(u' ')) {
            svg += text.arg(width / 2)
                       .arg(y)
                       .arg(headlineSize)
                       .arg(QStringLiteral("bold"), mid, escaped(word));
            y += headlineSize * 12 / 10;
        }
        y += taglineSize / 2;
        const int perLine = std::max(8, (width - 16) * 10 / (taglineSize * 6));
        QString line;
        for (const QString& word : a.tagline.split(u' ')) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > perLine) {
                svg += text.arg(width / 2)
                           .arg(y)
                           .arg(taglineSize)
                           .arg(QStringLiteral("normal"), mid, escaped(line));
                y += taglineSize * 13 / 10;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        svg += text.arg(width / 2)
                   .arg(y)
                   .arg(taglineSize)
                   .arg(QStringLiteral("normal"), mid, escaped(line));
        if (!a.phone.isEmpty())
            svg += text.arg(width / 2)
                       .arg(height - taglineSize)
                       .arg(headlineSize * 8 / 10)
                       .arg(QStringLiteral("bold"), mid, escaped(a.phone));
    } else {
        svg += motif(a.motif, height / 10, height / 10, box);
        const int x = box + height / 5;
        svg += text.arg(x)
                   .arg(height * 42 / 100)
                   .arg(headlineSize)
                   .arg(QStringLiteral("bold"), QString(), escaped(a.headline));
        svg += text.arg(x)
                   .arg(height * 68 / 100)
                   .arg(taglineSize)
                   .arg(QStringLiteral("normal"), QString(), escaped(a.tagline));
        if (!a.phone.isEmpty())
            svg += text.arg(x)
                       .arg(height * 88 / 100)
                       .arg(taglineSize)
                       .arg(QStringLiteral("bold"), QString(),
                            escaped(QStringLiteral("Call ") + a.phone));
    }
    svg += QStringLiteral("</svg>");
    return svg.toUtf8();
}
