#pragma once
// What the vCard and CSV targets share: one known city, reading every card of a file into
// contact columns, and comparing the columns an import fills.
#include "interchange/ContactMapping.h"

#include <QBuffer>

// The city list of the round trips: Karachi (28) only.
inline int cardCity(const QString& name) {
    return name.compare(QLatin1String("Karachi"), Qt::CaseInsensitive) == 0 ? 28 : 0;
}

inline QString cardCityName(const ContactRow& row) {
    return row.CCD == 28 ? QStringLiteral("Karachi") : QString();
}

template <typename Reader> QList<ContactRow> readCards(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Reader reader(buffer);
    QList<ContactRow> rows;
    ContactCard card;
    while (reader.next(card))
        rows << ContactMapping::toRow(card, cardCity);
    return rows;
}

// The columns an import fills (not the key, folder or hot flag).
inline bool sameColumns(const ContactRow& a, const ContactRow& b) {
    return a.CNAM == b.CNAM && a.PNAM == b.PNAM && a.PDSG == b.PDSG && a.ADR == b.ADR &&
           a.ZCD == b.ZCD && a.CCD == b.CCD && a.PHN == b.PHN && a.MOB == b.MOB && a.UAN == b.UAN &&
           a.FAX == b.FAX && a.EML == b.EML && a.WEB == b.WEB && a.BTP == b.BTP && a.BDS == b.BDS;
}
