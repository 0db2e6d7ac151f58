#include "business/BusinessReply.h"

#include <algorithm>
#include <cctype>

namespace {
// A decimal integer as the conversion accepts it: blanks around it, an optional sign, digits,
// within the range of an int.
bool toInteger(const QByteArray& field, int& value, QString& error) {
    bool ok = false;
    const QByteArray trimmed = field.trimmed();
    const bool digitsOnly =
        !trimmed.isEmpty() &&
        std::all_of(trimmed.begin() + ((trimmed[0] == '-' || trimmed[0] == '+') ? 1 : 0),
                    trimmed.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digitsOnly)
        value = trimmed.toInt(&ok);
    if (!ok)
        error = QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(field));
    return ok;
}

QString fieldText(const QList<QByteArray>& fields, int i) {
    return i < fields.size() ? QString::fromLatin1(fields[i]) : QString();
}
} // namespace

bool BusinessReply::readRecord(const QByteArray& record, BusinessRow& row, QString& error) {
    const QList<QByteArray> f = record.split(FieldSeparator);
    row = BusinessRow();
    if (!toInteger(f.value(0, "0"), row.CD, error) || !toInteger(f.value(1, "0"), row.CCD, error))
        return false;
    row.CNAM = fieldText(f, 2);
    row.PNAM = fieldText(f, 3);
    row.PDSG = fieldText(f, 4);
    row.ADR = fieldText(f, 5);
    row.ZCD = fieldText(f, 6);
    row.PHN = fieldText(f, 7);
    row.MOB = fieldText(f, 8);
    row.UAN = fieldText(f, 9);
    row.FAX = fieldText(f, 10);
    row.EML = fieldText(f, 11);
    row.WEB = fieldText(f, 12);
    row.BTP = fieldText(f, 13);
    row.BDS = fieldText(f, 14);
    row.RowColour = fieldText(f, 15);
    return true;
}

BusinessReply BusinessReply::parse(const QByteArray& reply) {
    BusinessReply result;
    const qsizetype marker = reply.indexOf('>');
    if (marker < 0) {
        result.status = QString::fromLatin1(reply);
        return result;
    }
    result.status = QString::fromLatin1(reply.constData(), marker);
    qsizetype start = marker + 1;
    // Only records ended by the separator count; the text after the last one is ignored.
    for (qsizetype end; (end = reply.indexOf(RecordSeparator, start)) >= 0; start = end + 1) {
        if (end == start)
            continue; // an empty record holds nothing to list
        if (result.rows.size() == MaxRows) {
            ++result.records;
            continue;
        }
        BusinessRow row;
        if (!readRecord(reply.mid(start, end - start), row, result.error))
            break;
        result.rows.append(std::move(row));
        ++result.records;
    }
    return result;
}

bool BusinessReply::isValidColour(const QString& colour) {
    if (colour.size() != 7 || colour[0] != u'#')
        return false;
    for (int i = 1; i < 7; ++i)
        if (!isxdigit(colour[i].toLatin1()))
            return false;
    return true;
}
