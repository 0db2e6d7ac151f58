#include "interchange/CsvContactReader.h"

#include <QHash>
#include <QRegularExpression>

namespace {
using Kind = CardValue::Kind;
using Rule = CsvContactReader::Rule;

Rule make(Kind kind, const QStringList& types = {}, const QString& label = {}) {
    Rule r;
    r.kind = kind;
    r.types = types;
    r.label = label;
    return r;
}

Rule part(Kind kind, const QString& group, int component, const QStringList& types = {}) {
    Rule r = make(kind, types);
    r.group = group;
    r.component = component;
    return r;
}

Rule column(const char* name) {
    return make(Kind::Column, {}, QString::fromLatin1(name));
}

Rule skipped() {
    Rule r;
    r.skip = true;
    return r;
}

// Types a label such as "Work Fax", "Mobile", "* Home" stands for.
QStringList typesOfLabel(const QString& label) {
    const QString l = label.toLower();
    QStringList types;
    if (l.contains(QLatin1String("mobile")) || l.contains(QLatin1String("cell")))
        types << QStringLiteral("cell");
    if (l.contains(QLatin1String("fax")))
        types << QStringLiteral("fax");
    if (l.contains(QLatin1String("pager")))
        types << QStringLiteral("pager");
    if (l.contains(QLatin1String("work")) || l.contains(QLatin1String("business")))
        types << QStringLiteral("work");
    if (l.contains(QLatin1String("home")))
        types << QStringLiteral("home");
    if (l.contains(QLatin1String("uan")))
        types << QStringLiteral("x-uan");
    return types;
}

// Google's numbered columns: "Phone 1 - Value", "Address 2 - City", "E-mail 1 - Label".
Rule googleRule(const QString& base, const QString& n, const QString& part) {
    const QString group = base + n;
    const bool label = part == QLatin1String("label") || part == QLatin1String("type");
    Rule r;
    r.group = group;
    r.isLabel = label;
    r.split = QStringLiteral(" ::: ");
    if (base == QLatin1String("phone"))
        r.kind = Kind::Tel;
    else if (base == QLatin1String("e-mail") || base == QLatin1String("email"))
        r.kind = Kind::Email;
    else if (base == QLatin1String("website"))
        r.kind = Kind::Url;
    else if (base == QLatin1String("address")) {
        r.kind = Kind::Address;
        r.split.clear();
        static const QHash<QString, int> parts{
            {QStringLiteral("po box"), 0},  {QStringLiteral("extended address"), 1},
            {QStringLiteral("street"), 2},  {QStringLiteral("city"), 3},
            {QStringLiteral("region"), 4},  {QStringLiteral("postal code"), 5},
            {QStringLiteral("country"), 6}, {QStringLiteral("formatted"), 7}};
        if (!label) {
            if (!parts.contains(part))
                return skipped();
            r.component = parts.value(part);
        }
    } else if (base == QLatin1String("organization")) {
        r.group.clear();
        r.split.clear();
        if (part == QLatin1String("name"))
            r.kind = Kind::Org;
        else if (part == QLatin1String("title"))
            r.kind = Kind::Title;
        else if (part == QLatin1String("type") || part == QLatin1String("label"))
            return skipped();
        else {
            r.kind = Kind::Other;
            r.label = QStringLiteral("Organization ") + part;
        }
    } else {
        r.kind = Kind::Other;
        r.label = base.left(1).toUpper() + base.mid(1);
    }
    return r;
}

struct AddressHeader {
    const char* prefix;
    const char* group;
    const char* type;
};
const AddressHeader AddressPrefixes[] = {
    {"business ", "business", "work"}, {"home ", "home", "home"}, {"other ", "other", ""}};

Rule outlookAddress(const QString& h) {
    for (const AddressHeader& a : AddressPrefixes) {
        const QString prefix = QString::fromLatin1(a.prefix);
        if (!h.startsWith(prefix))
            continue;
        const QString rest = h.mid(prefix.size());
        static const QHash<QString, int> parts{
            {QStringLiteral("street"), 2},         {QStringLiteral("street 2"), 2},
            {QStringLiteral("street 3"), 2},       {QStringLiteral("city"), 3},
            {QStringLiteral("state"), 4},          {QStringLiteral("postal code"), 5},
            {QStringLiteral("country/region"), 6}, {QStringLiteral("country"), 6},
            {QStringLiteral("po box"), 0},         {QStringLiteral("address po box"), 0}};
        if (parts.contains(rest)) {
            QStringList types;
            if (*a.type)
                types << QString::fromLatin1(a.type);
            return part(Kind::Address, QString::fromLatin1(a.group), parts.value(rest), types);
        }
    }
    return skipped();
}

QString capitalised(const QString& header) {
    return header.trimmed();
}
} // namespace

CsvContactReader::CsvContactReader(QIODevice& device) : m_csv(device) {}

const QStringList& CsvContactReader::ownHeaders() {
    static const QStringList headers{
        QStringLiteral("Folder"),      QStringLiteral("TITLE"),    QStringLiteral("City"),
        QStringLiteral("Phone"),       QStringLiteral("Fax"),      QStringLiteral("Mobile"),
        QStringLiteral("E-Mail"),      QStringLiteral("Website"),  QStringLiteral("Person"),
        QStringLiteral("Designation"), QStringLiteral("Address"),  QStringLiteral("Zip Code"),
        QStringLiteral("U.A.N"),       QStringLiteral("Business"), QStringLiteral("Description")};
    return headers;
}

CsvContactReader::Rule CsvContactReader::ruleFor(const QString& header, bool ownFormat) {
    const QString h = header.trimmed().toLower();
    if (ownFormat) {
        static const QHash<QString, const char*> own{
            {QStringLiteral("title"), "CNAM"},       {QStringLiteral("city"), "CITY"},
            {QStringLiteral("phone"), "PHN"},        {QStringLiteral("fax"), "FAX"},
            {QStringLiteral("mobile"), "MOB"},       {QStringLiteral("e-mail"), "EML"},
            {QStringLiteral("website"), "WEB"},      {QStringLiteral("person"), "PNAM"},
            {QStringLiteral("designation"), "PDSG"}, {QStringLiteral("address"), "ADR"},
            {QStringLiteral("zip code"), "ZCD"},     {QStringLiteral("u.a.n"), "UAN"},
            {QStringLiteral("business"), "BTP"},     {QStringLiteral("description"), "BDS"}};
        if (h == QLatin1String("folder"))
            return skipped();
        if (own.contains(h))
            return column(own.value(h));
    }
    static const QRegularExpression numbered(QStringLiteral("^(.+?) (\\d+) - (.+)$"));
    const QRegularExpressionMatch m = numbered.match(h);
    if (m.hasMatch())
        return googleRule(m.captured(1), m.captured(2), m.captured(3));

    static const QHash<QString, Rule> rules{
        {QStringLiteral("first name"), part(Kind::Name, QStringLiteral("n"), 1)},
        {QStringLiteral("given name"), part(Kind::Name, QStringLiteral("n"), 1)},
        {QStringLiteral("middle name"), part(Kind::Name, QStringLiteral("n"), 2)},
        {QStringLiteral("additional name"), part(Kind::Name, QStringLiteral("n"), 2)},
        {QStringLiteral("last name"), part(Kind::Name, QStringLiteral("n"), 0)},
        {QStringLiteral("family name"), part(Kind::Name, QStringLiteral("n"), 0)},
        {QStringLiteral("surname"), part(Kind::Name, QStringLiteral("n"), 0)},
        {QStringLiteral("title"), part(Kind::Name, QStringLiteral("n"), 3)},
        {QStringLiteral("name prefix"), part(Kind::Name, QStringLiteral("n"), 3)},
        {QStringLiteral("suffix"), part(Kind::Name, QStringLiteral("n"), 4)},
        {QStringLiteral("name suffix"), part(Kind::Name, QStringLiteral("n"), 4)},
        {QStringLiteral("name"), make(Kind::FormattedName)},
        {QStringLiteral("full name"), make(Kind::FormattedName)},
        {QStringLiteral("display name"), make(Kind::FormattedName)},
        {QStringLiteral("contact name"), make(Kind::FormattedName)},
        {QStringLiteral("company"), make(Kind::Org)},
        {QStringLiteral("company name"), make(Kind::Org)},
        {QStringLiteral("organization"), make(Kind::Org)},
        {QStringLiteral("organisation"), make(Kind::Org)},
        {QStringLiteral("organization name"), make(Kind::Org)},
        {QStringLiteral("business name"), make(Kind::Org)},
        {QStringLiteral("job title"), make(Kind::Title)},
        {QStringLiteral("organization title"), make(Kind::Title)},
        {QStringLiteral("position"), make(Kind::Title)},
        {QStringLiteral("designation"), make(Kind::Title)},
        {QStringLiteral("role"), make(Kind::Role)},
        {QStringLiteral("business phone"), make(Kind::Tel, {QStringLiteral("work")})},
        {QStringLiteral("business phone 2"), make(Kind::Tel, {QStringLiteral("work")})},
        {QStringLiteral("company main phone"), make(Kind::Tel, {QStringLiteral("work")})},
        {QStringLiteral("primary phone"), make(Kind::Tel)},
        {QStringLiteral("home phone"), make(Kind::Tel, {QStringLiteral("home")})},
        {QStringLiteral("home phone 2"), make(Kind::Tel, {QStringLiteral("home")})},
        {QStringLiteral("other phone"), make(Kind::Tel)},
        {QStringLiteral("assistant's phone"), make(Kind::Tel)},
        {QStringLiteral("car phone"), make(Kind::Tel)},
        {QStringLiteral("callback"), make(Kind::Tel)},
        {QStringLiteral("isdn"), make(Kind::Tel)},
        {QStringLiteral("radio phone"), make(Kind::Tel)},
        {QStringLiteral("tty/tdd phone"), make(Kind::Tel)},
        {QStringLiteral("telex"), make(Kind::Tel)},
        {QStringLiteral("phone"), make(Kind::Tel)},
        {QStringLiteral("telephone"), make(Kind::Tel)},
        {QStringLiteral("tel"), make(Kind::Tel)},
        {QStringLiteral("phone number"), make(Kind::Tel)},
        {QStringLiteral("work phone"), make(Kind::Tel, {QStringLiteral("work")})},
        {QStringLiteral("mobile phone"), make(Kind::Tel, {QStringLiteral("cell")})},
        {QStringLiteral("mobile"), make(Kind::Tel, {QStringLiteral("cell")})},
        {QStringLiteral("mobile number"), make(Kind::Tel, {QStringLiteral("cell")})},
        {QStringLiteral("cell"), make(Kind::Tel, {QStringLiteral("cell")})},
        {QStringLiteral("cell phone"), make(Kind::Tel, {QStringLiteral("cell")})},
        {QStringLiteral("business fax"), make(Kind::Tel, {QStringLiteral("fax")})},
        {QStringLiteral("home fax"), make(Kind::Tel, {QStringLiteral("fax")})},
        {QStringLiteral("other fax"), make(Kind::Tel, {QStringLiteral("fax")})},
        {QStringLiteral("fax"), make(Kind::Tel, {QStringLiteral("fax")})},
        {QStringLiteral("fax number"), make(Kind::Tel, {QStringLiteral("fax")})},
        {QStringLiteral("pager"), make(Kind::Tel, {QStringLiteral("pager")})},
        {QStringLiteral("uan"), make(Kind::Tel, {QStringLiteral("x-uan")})},
        {QStringLiteral("u.a.n"), make(Kind::Tel, {QStringLiteral("x-uan")})},
        {QStringLiteral("e-mail address"), make(Kind::Email)},
        {QStringLiteral("e-mail 2 address"), make(Kind::Email)},
        {QStringLiteral("e-mail 3 address"), make(Kind::Email)},
        {QStringLiteral("e-mail"), make(Kind::Email)},
        {QStringLiteral("email"), make(Kind::Email)},
        {QStringLiteral("email address"), make(Kind::Email)},
        {QStringLiteral("mail"), make(Kind::Email)},
        {QStringLiteral("e-mail type"), skipped()},
        {QStringLiteral("e-mail display name"), skipped()},
        {QStringLiteral("e-mail 2 type"), skipped()},
        {QStringLiteral("e-mail 2 display name"), skipped()},
        {QStringLiteral("e-mail 3 type"), skipped()},
        {QStringLiteral("e-mail 3 display name"), skipped()},
        {QStringLiteral("web page"), make(Kind::Url)},
        {QStringLiteral("website"), make(Kind::Url)},
        {QStringLiteral("web site"), make(Kind::Url)},
        {QStringLiteral("web"), make(Kind::Url)},
        {QStringLiteral("url"), make(Kind::Url)},
        {QStringLiteral("homepage"), make(Kind::Url)},
        {QStringLiteral("notes"), make(Kind::Note)},
        {QStringLiteral("note"), make(Kind::Note)},
        {QStringLiteral("comments"), make(Kind::Note)},
        {QStringLiteral("description"), make(Kind::Note)},
        {QStringLiteral("address"), part(Kind::Address, QStringLiteral("plain"), 2)},
        {QStringLiteral("street"), part(Kind::Address, QStringLiteral("plain"), 2)},
        {QStringLiteral("city"), part(Kind::Address, QStringLiteral("plain"), 3)},
        {QStringLiteral("town"), part(Kind::Address, QStringLiteral("plain"), 3)},
        {QStringLiteral("state"), part(Kind::Address, QStringLiteral("plain"), 4)},
        {QStringLiteral("province"), part(Kind::Address, QStringLiteral("plain"), 4)},
        {QStringLiteral("region"), part(Kind::Address, QStringLiteral("plain"), 4)},
        {QStringLiteral("zip"), part(Kind::Address, QStringLiteral("plain"), 5)},
        {QStringLiteral("zip code"), part(Kind::Address, QStringLiteral("plain"), 5)},
        {QStringLiteral("postal code"), part(Kind::Address, QStringLiteral("plain"), 5)},
        {QStringLiteral("postcode"), part(Kind::Address, QStringLiteral("plain"), 5)},
        {QStringLiteral("country"), part(Kind::Address, QStringLiteral("plain"), 6)},
        {QStringLiteral("priority"), skipped()},
        {QStringLiteral("sensitivity"), skipped()},
        {QStringLiteral("private"), skipped()},
        {QStringLiteral("initials"), skipped()},
        {QStringLiteral("file as"), skipped()},
    };
    const auto it = rules.constFind(h);
    if (it != rules.constEnd())
        return *it;
    if (h == QLatin1String("categories")) {
        Rule r = make(Kind::Categories);
        r.split = QStringLiteral(";");
        return r;
    }
    if (h == QLatin1String("labels") || h == QLatin1String("group membership") ||
        h == QLatin1String("category") || h == QLatin1String("groups")) {
        Rule r = make(Kind::Categories);
        r.split = QStringLiteral(" ::: ");
        return r;
    }
    const Rule address = outlookAddress(h);
    if (!address.skip)
        return address;
    return make(Kind::Other, {}, capitalised(header));
}

namespace {
// Values Outlook writes into columns nobody filled.
bool isPlaceholder(const QString& value) {
    return value == QLatin1String("0/0/00") || value == QLatin1String("Unspecified") ||
           value == QLatin1String("0.0.00") || value == QLatin1String("00/00/0000");
}

struct GroupValue {
    Kind kind = Kind::Other;
    QString label, otherLabel;
    QStringList values;
    QStringList components = QStringList(8);
    QStringList types;
};
} // namespace

ContactCard CsvContactReader::toCard(const QVector<Rule>& rules, const QStringList& headers,
                                     const QStringList& fields) {
    ContactCard card;
    QHash<QString, int> groupIndex;
    QVector<GroupValue> groups;
    const auto groupFor = [&](const Rule& r) -> GroupValue& {
        auto it = groupIndex.constFind(r.group);
        if (it == groupIndex.constEnd()) {
            it = groupIndex.insert(r.group, int(groups.size()));
            GroupValue g;
            g.kind = r.kind;
            g.otherLabel = r.label;
            groups << g;
        }
        return groups[*it];
    };
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QString value = fields[i].trimmed();
        value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (value.isEmpty() || isPlaceholder(value))
            continue;
        if (i >= rules.size()) { // a value beyond the header
            card.add(Kind::Other, value, {}, QStringLiteral("Column %1").arg(i + 1));
            continue;
        }
        const Rule& r = rules[i];
        if (r.skip)
            continue;
        if (r.kind == Kind::Column) {
            card.add(Kind::Column, fields[i], {}, r.label);
            continue;
        }
        if (!r.group.isEmpty()) {
            GroupValue& g = groupFor(r);
            g.types << r.types;
            if (r.isLabel)
                g.label = value;
            else if (r.component >= 0) {
                QString& c = g.components[r.component];
                c = c.isEmpty() ? value : c + u'\n' + value;
            } else if (!r.split.isEmpty())
                g.values << value.split(r.split, Qt::SkipEmptyParts);
            else
                g.values << value;
            continue;
        }
        QStringList values =
            r.split.isEmpty() ? QStringList{value} : value.split(r.split, Qt::SkipEmptyParts);
        if (r.kind == Kind::Categories) {
            QStringList kept;
            for (const QString& v : values)
                if (!v.trimmed().startsWith(u'*')) // Google's own groups ("* myContacts")
                    kept << v.trimmed();
            card.addComponents(Kind::Categories, kept);
        } else if (r.kind == Kind::Org)
            card.addComponents(Kind::Org, {value});
        else
            for (const QString& v : values)
                card.add(r.kind, v.trimmed(), r.types,
                         r.kind == Kind::Other ? headers.value(i).trimmed() : QString());
    }
    for (GroupValue& g : groups) {
        QStringList types = g.types;
        const QString label = g.label.trimmed().startsWith(u'*')
                                  ? g.label.trimmed().mid(1).trimmed()
                                  : g.label.trimmed();
        types << typesOfLabel(label);
        if (g.kind == Kind::Name) {
            QStringList c = g.components.mid(0, 5);
            card.addComponents(Kind::Name, c);
        } else if (g.kind == Kind::Address) {
            QStringList c = g.components.mid(0, 7);
            bool any = false;
            for (const QString& s : c)
                any = any || !s.isEmpty();
            if (!any && !g.components[7].isEmpty())
                c[2] = g.components[7]; // only the formatted address was given
            card.addComponents(Kind::Address, c, types,
                               label.isEmpty() ? QString() : QStringLiteral("Address ") + label);
        } else {
            for (const QString& v : g.values)
                card.add(g.kind, v.trimmed(), types,
                         g.kind == Kind::Other ? (label.isEmpty() ? g.otherLabel : label)
                                               : QString());
        }
    }
    return card;
}

bool CsvContactReader::next(ContactCard& card) {
    QStringList fields;
    bool damaged = false;
    if (!m_headerRead) {
        m_headerRead = true;
        do {
            if (!m_csv.next(fields, &damaged))
                return false;
        } while (damaged || fields.join(QString()).trimmed().isEmpty());
        m_headers = fields;
        bool own = fields.size() >= 3;
        for (const QString& h : ownHeaders())
            own = own && fields.contains(h);
        for (const QString& h : fields)
            m_rules << ruleFor(h, own);
    }
    while (m_csv.next(fields, &damaged)) {
        if (damaged) {
            ++m_unreadable;
            continue;
        }
        if (fields.join(QString()).trimmed().isEmpty())
            continue; // a blank line
        card = toCard(m_rules, m_headers, fields);
        if (card.isEmpty()) {
            ++m_unreadable;
            continue;
        }
        return true;
    }
    return false;
}
