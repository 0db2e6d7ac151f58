#include "interchange/VCardWriter.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
using Version = VCardWriter::Version;

void add(QByteArray& out, const QString& line) {
    out += VCardWriter::folded(line.toUtf8());
    out += "\r\n";
}

// The numbers of a field, each as written between the commas.
QStringList numbers(const QString& field) {
    QStringList result;
    for (const QString& n : field.split(u','))
        if (!n.trimmed().isEmpty())
            result << n;
    return result;
}

void addNumbers(QByteArray& out, const QString& field, const char* types4, const char* types3,
                Version version) {
    static const QRegularExpression uriSafe(QStringLiteral("^[0-9+*#()./-]+$"));
    for (const QString& n : numbers(field)) {
        if (version == Version::V3)
            add(out, QStringLiteral("TEL;TYPE=%1:%2")
                         .arg(QLatin1String(types3), VCardWriter::escaped(n)));
        else if (uriSafe.match(n).hasMatch())
            add(out,
                QStringLiteral("TEL;VALUE=uri;TYPE=\"%1\":tel:%2").arg(QLatin1String(types4), n));
        else
            add(out, QStringLiteral("TEL;VALUE=text;TYPE=\"%1\":%2")
                         .arg(QLatin1String(types4), VCardWriter::escaped(n)));
    }
}
} // namespace

QString VCardWriter::escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';')
            out += u'\\', out += c;
        else if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QLatin1String("\\n");
        } else if (c == u'\n')
            out += QLatin1String("\\n");
        else
            out += c;
    }
    return out;
}

QByteArray VCardWriter::folded(const QByteArray& line) {
    constexpr qsizetype Limit = 75;
    if (line.size() <= Limit)
        return line;
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = Limit;
    while (start < line.size()) {
        qsizetype end = std::min(start + room, line.size());
        // Never end a physical line inside a UTF-8 sequence.
        while (end < line.size() && end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        if (start > 0)
            out += "\r\n ";
        out += line.mid(start, end - start);
        start = end;
        room = Limit - 1; // the leading blank counts
    }
    return out;
}

QByteArray VCardWriter::card(const ContactRow& row, const QString& cityTitle, Version version) {
    const bool v4 = version == Version::V4;
    QByteArray out;
    add(out, QStringLiteral("BEGIN:VCARD"));
    add(out, v4 ? QStringLiteral("VERSION:4.0") : QStringLiteral("VERSION:3.0"));
    add(out, QStringLiteral("PRODID:-//Tessaro Kavelin//Contacts//EN"));
    const QString person = row.PNAM.isEmpty() ? row.CNAM : row.PNAM;
    add(out, QStringLiteral("FN:") + escaped(person));
    add(out, QStringLiteral("N:;%1;;;").arg(escaped(person)));
    if (!row.CNAM.isEmpty())
        add(out, QStringLiteral("ORG:") + escaped(row.CNAM));
    if (!row.PDSG.isEmpty())
        add(out, QStringLiteral("TITLE:") + escaped(row.PDSG));
    if (!row.ADR.isEmpty() || !row.ZCD.isEmpty() || !cityTitle.isEmpty())
        add(out, QStringLiteral("ADR;TYPE=%1:;;%2;%3;;%4;")
                     .arg(v4 ? QLatin1String("work") : QLatin1String("WORK"), escaped(row.ADR),
                          escaped(cityTitle), escaped(row.ZCD)));
    addNumbers(out, row.PHN, "work,voice", "WORK,VOICE", version);
    addNumbers(out, row.MOB, "cell", "CELL", version);
    addNumbers(out, row.FAX, "work,fax", "WORK,FAX", version);
    addNumbers(out, row.UAN, "x-uan", "X-UAN", version);
    if (!row.EML.isEmpty())
        add(out, (v4 ? QStringLiteral("EMAIL;TYPE=work:")
                     : QStringLiteral("EMAIL;TYPE=INTERNET,WORK:")) +
                     escaped(row.EML));
    if (!row.WEB.isEmpty())
        add(out, QStringLiteral("URL:") + row.WEB);
    if (!row.BTP.isEmpty())
        add(out, QStringLiteral("CATEGORIES:") + escaped(row.BTP));
    if (!row.BDS.isEmpty())
        add(out, QStringLiteral("NOTE:") + escaped(row.BDS));
    add(out, QStringLiteral("END:VCARD"));
    return out;
}
