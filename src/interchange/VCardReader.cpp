#include "interchange/VCardReader.h"

#include "interchange/TextDecoding.h"

#include <QHash>

namespace {
bool isBinaryProperty(const QByteArray& name) {
    return name == "PHOTO" || name == "LOGO" || name == "SOUND" || name == "KEY";
}

// Property names that carry no contact data of their own.
bool isBookkeeping(const QByteArray& name) {
    static const char* const names[] = {"BEGIN",   "END",         "VERSION",      "PRODID",
                                        "REV",     "UID",         "CLIENTPIDMAP", "X-ABLABEL",
                                        "X-ABUID", "X-ABSHOWAS",  "SORT-STRING",  "KIND",
                                        "SOURCE",  "NAME",        "MAILER",       "X-ABADR",
                                        "XML",     "X-IMAGETYPE", "X-IMAGEHASH",  "LABEL"};
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

QByteArray upperName(const QByteArray& text) {
    return text.trimmed().toUpper();
}

// The name part of a line ("item1.TEL;TYPE=cell" -> "TEL"), used before the line is parsed.
QByteArray lineName(const QByteArray& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != ';' && line[end] != ':')
        ++end;
    QByteArray name = line.left(end);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name = name.mid(dot + 1);
    return upperName(name);
}

bool isQuotedPrintableLine(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    const QByteArray head = (colon < 0 ? line : line.left(colon)).toUpper();
    return head.contains("QUOTED-PRINTABLE");
}

QByteArray decodeQuotedPrintable(const QByteArray& value) {
    QByteArray out;
    out.reserve(value.size());
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '=' && i + 2 < value.size()) {
            const int hi = hex(value[i + 1]), lo = hex(value[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == value.size() - 1)
            break; // a soft break at the very end
        out += c;
    }
    return out;
}

// Splits at unescaped separators and resolves the escapes \\ \, \; \n \N.
QStringList splitEscaped(const QString& text, QChar separator) {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar n = text[++i];
            if (n == u'n' || n == u'N')
                current += u'\n';
            else
                current += n;
        } else if (!separator.isNull() && c == separator) {
            parts << current;
            current.clear();
        } else
            current += c;
    }
    parts << current;
    return parts;
}

QString unescape(const QString& text) {
    return splitEscaped(text, QChar()).first();
}

QString normalisedBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

struct Decoded {
    QString text;
    QStringList types;
    bool binary = false;
};

Decoded decodeValue(const VCardReader::Property& p) {
    Decoded d;
    bool qp = false;
    TextDecoding::Encoding charset = TextDecoding::Encoding::Utf8;
    bool charsetGiven = false;
    for (const auto& [name, value] : p.params) {
        const QByteArray v = value.toUpper();
        if (name.isEmpty()) { // 2.1 bare word: TEL;CELL;QUOTED-PRINTABLE
            if (v == "QUOTED-PRINTABLE")
                qp = true;
            else if (v == "BASE64" || v == "B")
                d.binary = true;
            else
                d.types << QString::fromLatin1(value.toLower());
        } else if (name == "ENCODING") {
            if (v == "QUOTED-PRINTABLE")
                qp = true;
            else if (v == "BASE64" || v == "B")
                d.binary = true;
        } else if (name == "CHARSET") {
            charset = TextDecoding::fromName(value);
            charsetGiven = true;
        } else if (name == "TYPE") {
            for (const QByteArray& t : value.split(',')) {
                const QByteArray word = t.trimmed().toLower();
                if (!word.isEmpty())
                    d.types << QString::fromLatin1(word);
            }
        } else if (name == "VALUE" && v == "BINARY")
            d.binary = true;
    }
    if (d.binary)
        return d;
    const QByteArray bytes = qp ? decodeQuotedPrintable(p.value) : p.value;
    d.text = normalisedBreaks(charsetGiven ? TextDecoding::decode(bytes, charset)
                                           : TextDecoding::decodeLenient(bytes));
    return d;
}

QString appleLabel(QString label) {
    if (label.startsWith(QLatin1String("_$!<")) && label.endsWith(QLatin1String(">!$_")))
        label = label.mid(4, label.size() - 8);
    return label;
}

QString otherLabel(const QByteArray& name) {
    static const QHash<QByteArray, QString> labels{
        {"EMAIL", QStringLiteral("E-Mail")},      {"URL", QStringLiteral("Website")},
        {"BDAY", QStringLiteral("Birthday")},     {"ANNIVERSARY", QStringLiteral("Anniversary")},
        {"NICKNAME", QStringLiteral("Nickname")}, {"ADR", QStringLiteral("Address")},
        {"TEL", QStringLiteral("Phone")},         {"IMPP", QStringLiteral("IM")},
        {"GEO", QStringLiteral("Location")},      {"TZ", QStringLiteral("Time zone")},
        {"GENDER", QStringLiteral("Gender")},     {"LANG", QStringLiteral("Language")},
        {"RELATED", QStringLiteral("Related")},   {"MEMBER", QStringLiteral("Member")},
        {"ROLE", QStringLiteral("Role")},         {"X-AIM", QStringLiteral("AIM")},
        {"X-ICQ", QStringLiteral("ICQ")},         {"X-JABBER", QStringLiteral("Jabber")},
        {"X-MSN", QStringLiteral("MSN")},         {"X-YAHOO", QStringLiteral("Yahoo")},
        {"X-SKYPE", QStringLiteral("Skype")},     {"X-SKYPE-USERNAME", QStringLiteral("Skype")},
        {"X-QQ", QStringLiteral("QQ")},           {"X-GOOGLE-TALK", QStringLiteral("Google Talk")},
        {"X-ABDATE", QStringLiteral("Date")},     {"X-ABRELATEDNAMES", QStringLiteral("Related")},
    };
    const auto it = labels.constFind(name);
    return it != labels.constEnd() ? *it : QString::fromLatin1(name);
}
} // namespace

VCardReader::VCardReader(QIODevice& device) : m_lines(device) {}

bool VCardReader::parseLine(const QByteArray& line, Property& property) {
    property = Property();
    // Name with an optional group, then parameters up to the first ':' outside quotes.
    qsizetype i = 0;
    while (i < line.size() && line[i] != ';' && line[i] != ':')
        ++i;
    if (i >= line.size())
        return false;
    QByteArray name = line.left(i).trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        property.group = name.left(dot).toLower();
        name = name.mid(dot + 1);
    }
    property.name = upperName(name);
    if (property.name.isEmpty())
        return false;
    while (i < line.size() && line[i] == ';') {
        ++i;
        QByteArray param;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                param += line[i];
            ++i;
        }
        const qsizetype eq = param.indexOf('=');
        if (eq < 0) {
            if (!param.trimmed().isEmpty())
                property.params.append({QByteArray(), param.trimmed()});
        } else
            property.params.append({upperName(param.left(eq)), param.mid(eq + 1).trimmed()});
    }
    if (i >= line.size() || line[i] != ':')
        return false;
    property.value = line.mid(i + 1);
    return true;
}

bool VCardReader::readLogicalLine(QByteArray& line, bool& overlong) {
    const bool first = m_lines.position() == 0;
    if (!m_lines.read(line, &overlong))
        return false;
    if (first && line.startsWith("\xEF\xBB\xBF"))
        line.remove(0, 3); // a byte order mark
    const QByteArray name = lineName(line);
    const bool binary = isBinaryProperty(name);
    if (binary)
        line.clear(); // nothing of a picture is kept
    bool qp = !binary && isQuotedPrintableLine(line);
    QByteArray part;
    for (;;) {
        if (qp && line.endsWith('=')) { // soft line break: the next line goes on
            bool cut = false;
            if (!m_lines.read(part, &cut))
                break;
            line.chop(1);
            line += part;
            overlong = overlong || cut || line.size() > MaxCardBytes;
            if (overlong)
                line.truncate(MaxCardBytes);
            continue;
        }
        const QByteArray* next = m_lines.peek();
        if (!next || next->isEmpty() || (next->at(0) != ' ' && next->at(0) != '\t'))
            break;
        bool cut = false;
        m_lines.read(part, &cut);
        if (!binary) {
            line.append(part.constData() + 1, part.size() - 1);
            overlong = overlong || cut || line.size() > MaxCardBytes;
            if (overlong)
                line.truncate(MaxCardBytes);
        }
    }
    if (binary)
        line = name + ":"; // kept as an empty value of the binary property
    return true;
}

void VCardReader::skipToEnd() {
    QByteArray line;
    bool overlong = false;
    while (readLogicalLine(line, overlong)) {
        const QByteArray name = lineName(line);
        if (name == "END" && upperName(line.mid(line.indexOf(':') + 1)) == "VCARD")
            return;
        if (name == "BEGIN" && upperName(line.mid(line.indexOf(':') + 1)) == "VCARD") {
            m_insideCard = true;
            return;
        }
    }
}

bool VCardReader::next(ContactCard& card) {
    QByteArray line;
    bool overlong = false;
    for (;;) {
        if (!m_insideCard) { // look for the next BEGIN:VCARD
            for (;;) {
                if (!readLogicalLine(line, overlong))
                    return false;
                Property p;
                if (parseLine(line, p) && p.name == "BEGIN" && upperName(p.value) == "VCARD")
                    break;
            }
        }
        m_insideCard = false;
        QList<Property> properties;
        qsizetype bytes = 0;
        bool bad = false, ended = false;
        while (readLogicalLine(line, overlong)) {
            Property p;
            if (!parseLine(line, p))
                continue; // a stray line (an unindented picture line, a blank): not a value
            if (p.name == "END" && upperName(p.value) == "VCARD") {
                ended = true;
                break;
            }
            if (p.name == "BEGIN" && upperName(p.value) == "VCARD") {
                m_insideCard = true; // the card before was never ended
                break;
            }
            bytes += line.size();
            if (overlong || bytes > MaxCardBytes || properties.size() >= MaxProperties) {
                bad = true;
                skipToEnd();
                ended = true;
                break;
            }
            properties << p;
        }
        if (!ended || bad) {
            ++m_unreadable;
            continue;
        }
        card = toCard(properties);
        if (card.isEmpty()) {
            ++m_unreadable;
            continue;
        }
        return true;
    }
}

ContactCard VCardReader::toCard(const QList<Property>& properties) {
    using Kind = CardValue::Kind;
    // Apple keeps the caption of a grouped value in a second property of the same group.
    QHash<QByteArray, QString> groupLabels;
    for (const Property& p : properties)
        if (p.name == "X-ABLABEL" && !p.group.isEmpty())
            groupLabels.insert(p.group, appleLabel(decodeValue(p).text.trimmed()));

    ContactCard card;
    for (const Property& p : properties) {
        if (isBinaryProperty(p.name) || isBookkeeping(p.name))
            continue;
        Decoded d = decodeValue(p);
        if (d.binary)
            continue;
        const QString groupLabel = groupLabels.value(p.group);
        if (!groupLabel.isEmpty()) {
            const QString word = groupLabel.toLower();
            if (word == QLatin1String("mobile") || word == QLatin1String("cell") ||
                word == QLatin1String("iphone"))
                d.types << QStringLiteral("cell");
            else if (word.contains(QLatin1String("fax")))
                d.types << QStringLiteral("fax");
            else if (word == QLatin1String("pager"))
                d.types << QStringLiteral("pager");
            else if (word == QLatin1String("uan") || word == QLatin1String("u.a.n"))
                d.types << QStringLiteral("x-uan");
        }
        const QByteArray& n = p.name;
        if (n == "ORG")
            card.addComponents(Kind::Org, splitEscaped(d.text, u';'), d.types);
        else if (n == "FN")
            card.add(Kind::FormattedName, unescape(d.text));
        else if (n == "N")
            card.addComponents(Kind::Name, splitEscaped(d.text, u';'));
        else if (n == "TITLE")
            card.add(Kind::Title, unescape(d.text));
        else if (n == "ROLE")
            card.add(Kind::Role, unescape(d.text));
        else if (n == "ADR") {
            QStringList parts = splitEscaped(d.text, u';');
            while (parts.size() < 7)
                parts << QString();
            card.addComponents(Kind::Address, parts, d.types, groupLabel);
        } else if (n == "TEL") {
            // Kept as written (the program's own files keep blanks after the commas).
            QString number = unescape(d.text);
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            if (number.trimmed().isEmpty())
                continue;
            card.add(Kind::Tel, number, d.types, groupLabel);
        } else if (n == "EMAIL")
            card.add(Kind::Email, unescape(d.text).trimmed(), d.types, groupLabel);
        else if (n == "URL")
            card.add(Kind::Url, unescape(d.text).trimmed(), d.types, groupLabel);
        else if (n == "CATEGORIES")
            card.addComponents(Kind::Categories, splitEscaped(d.text, u','));
        else if (n == "NOTE")
            card.add(Kind::Note, unescape(d.text));
        else if (n == "X-ANDROID-CUSTOM") {
            // "vnd.android.cursor.item/nickname;Pepe;..." : the kind and its first value.
            const QStringList parts = splitEscaped(d.text, u';');
            QString kind = parts.value(0).section(u'/', -1).replace(u'_', u' ');
            kind = kind.left(1).toUpper() + kind.mid(1);
            const QString value = parts.value(1).trimmed();
            if (!value.isEmpty())
                card.add(Kind::Other, value, {}, kind.isEmpty() ? otherLabel(n) : kind);
        } else {
            const QString value = n == "GEO" || n == "IMPP" ? d.text : unescape(d.text);
            if (!value.trimmed().isEmpty())
                card.add(Kind::Other, value.trimmed(), d.types,
                         groupLabel.isEmpty() ? otherLabel(n) : groupLabel);
        }
    }
    return card;
}
