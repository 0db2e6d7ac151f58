#pragma once

// Sample directory rows for the template tests, the preview tool and the benchmarks.
#include "business/BusinessRow.h"
#include "contacts/ContactRow.h"
#include "ptcl/PtclRow.h"

#include <QList>
#include <QString>

namespace SampleRows {

inline ContactRow fullContact() {
    ContactRow r;
    r.CD = 7;
    r.CNAM = QStringLiteral("Crescent Textile Mills");
    r.PNAM = QStringLiteral("Ali Raza");
    r.PDSG = QStringLiteral("Sales Manager");
    r.ADR = QStringLiteral("45-B Industrial Estate, Kot Lakhpat, Lahore");
    r.ZCD = QStringLiteral("54770");
    r.PHN = QStringLiteral("042-35112233, 042-35112234");
    r.MOB = QStringLiteral("0300-8456123");
    r.UAN = QStringLiteral("111-222-333");
    r.FAX = QStringLiteral("042-35112235");
    r.EML = QStringLiteral("sales@crescent.example");
    r.WEB = QStringLiteral("www.crescent.example");
    r.BTP = QStringLiteral("Textile manufacturer");
    r.BDS = QString::fromLatin1("Cotton yarn, grey cloth and finished fabrics.\r\nExport "
                                "{quality} since 1962 \xb7 Caf\xe9 d\xe9"
                                "cor \\ linen.");
    return r;
}

inline ContactRow sparseContact() {
    ContactRow r;
    r.CD = 8;
    r.CNAM = QStringLiteral("Dr. Sana Qureshi");
    r.PNAM = QStringLiteral("Bilal (assistant)");
    r.ADR = QStringLiteral("House 12, Street 4, F-7/2, Islamabad");
    r.PHN = QStringLiteral("051-2654321");
    r.EML = QStringLiteral("sana@clinic.example");
    return r;
}

inline QList<ContactRow> contacts(int count) {
    static const char* cities[] = {"Lahore", "Karachi", "Islamabad", "Multan", "Faisalabad"};
    static const char* trades[] = {"Textiles", "Pharmacy", "Printing", "Software", "Restaurant"};
    QList<ContactRow> rows;
    for (int i = 0; i < count; ++i) {
        ContactRow r;
        r.CD = i + 1;
        r.CNAM = QStringLiteral("Company %1 %2").arg(i + 1).arg(QLatin1String(trades[i % 5]));
        if (i % 3 != 2)
            r.PNAM = QStringLiteral("Person %1").arg(i + 1);
        if (i % 3 == 0)
            r.PDSG = QStringLiteral("Director");
        r.ADR =
            QStringLiteral("%1 Main Boulevard, %2").arg(10 + i).arg(QLatin1String(cities[i % 5]));
        if (i % 2 == 0)
            r.ZCD = QString::number(54000 + i % 900);
        r.PHN = QStringLiteral("042-3%1").arg(5000000 + i);
        if (i % 4 != 3)
            r.MOB = QStringLiteral("0300-%1").arg(1000000 + i * 7);
        if (i % 5 == 0)
            r.FAX = QStringLiteral("042-3%1").arg(6000000 + i);
        if (i % 7 == 0)
            r.UAN = QStringLiteral("111-%1-000").arg(100 + i % 900);
        r.EML = QStringLiteral("info%1@example.com").arg(i + 1);
        if (i % 2 == 1)
            r.WEB = QStringLiteral("www.company%1.example").arg(i + 1);
        r.BTP = QLatin1String(trades[i % 5]);
        if (i % 2 == 0)
            r.BDS = QStringLiteral("Wholesale and retail, established %1.").arg(1950 + i % 70);
        rows << r;
    }
    return rows;
}

inline PtclRow ptcl(int i) {
    PtclRow r;
    r.PHN = QStringLiteral("042%1").arg(7000000 + i * 13);
    r.CNAM = QStringLiteral("Muhammad Aslam %1").arg(i + 1);
    r.ADR = QStringLiteral("House %1, Street 9, Samanabad, Lahore").arg(i + 3);
    return r;
}

} // namespace SampleRows
