#include "ptcl/PtclSearch.h"

#include "app/Helpers.h"

namespace {

constexpr char RS = '\x1e';
constexpr char US = '\x1f';

QString field(const QList<QByteArray>& fields, int index) {
    return index < fields.size() ? QString::fromLatin1(fields.at(index)) : QString();
}

} // namespace

namespace PtclSearch {

PhoneCheck checkPhone(const QString& phone) {
    if (!HasText(phone))
        return PhoneCheck::Empty;
    if (phone.size() <= 5 || !IsDigitsOnly(phone))
        return PhoneCheck::Invalid;
    return PhoneCheck::Valid;
}

QByteArray phoneRequest(const QString& phone) {
    return toLatin1Safe(TrimBlanks(phone)) + US + US;
}

QByteArray nameAddressRequest(const QString& name, const QString& address) {
    return US + toLatin1Safe(TrimBlanks(name)) + US + toLatin1Safe(TrimBlanks(address));
}

Reply parseReply(const QByteArray& reply) {
    Reply result;
    if (reply.startsWith("Error:")) {
        result.isError = true;
        result.message = QString::fromLatin1(reply.mid(6));
        return result;
    }
    QList<QByteArray> records = reply.split(RS);
    records.removeLast(); // whatever follows the last RS is no record
    for (const QByteArray& record : records) {
        const QList<QByteArray> fields = record.split(US);
        PtclRow row;
        row.PHN = field(fields, 0);
        row.CNAM = field(fields, 1);
        row.ADR = ConvertCase(field(fields, 2), 'C');
        result.rows.append(row);
    }
    return result;
}

} // namespace PtclSearch
