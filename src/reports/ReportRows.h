#pragma once

#include "business/BusinessRow.h"
#include "contacts/ContactRow.h"
#include "ptcl/PtclRow.h"

#include <QList>
#include <QVariantList>

class ReportTable;

// Builds the rows of the report table DS from the rows of the directory pages: the one-row
// detail for the detail pane (with paragraph and gap fragments) and the numbered report rows.
// User text is escaped for RTF; the fragments stay raw. Personal and business rows share the
// contact layout.
class ReportRows {
public:
    // A paragraph mark and one blank.
    static const QString PAR;
    // A group holding an empty 4-point paragraph: a small gap before a block.
    static const QString GAP;

    static QVariantList contactDetail(const ContactRow& row);
    static QVariantList contactReport(const ContactRow& row, int serial);
    static QVariantList ptclDetail(const PtclRow& row);
    static QVariantList ptclReport(const PtclRow& row, int serial);

    // Replaces the rows of DS with the detail row of one entry.
    static void fillContactDetail(ReportTable& ds, const ContactRow& row);
    static void fillPtclDetail(ReportTable& ds, const PtclRow& row);
    // Replaces the rows of DS with one report row per entry, numbered from 1 in the given order.
    static void fillContactReport(ReportTable& ds, const QList<const ContactRow*>& rows);
    static void fillPtclReport(ReportTable& ds, const QList<const PtclRow*>& rows);
    // The same for the rows a page keeps by value (contacts, listings, PTCL entries).
    template <typename Row> static void fillContactReport(ReportTable& ds, const QList<Row>& rows) {
        fillContactReport(ds, pointersTo<ContactRow>(rows));
    }
    template <typename Row> static void fillPtclReport(ReportTable& ds, const QList<Row>& rows) {
        fillPtclReport(ds, pointersTo<PtclRow>(rows));
    }

private:
    template <typename Base, typename Row>
    static QList<const Base*> pointersTo(const QList<Row>& rows) {
        QList<const Base*> pointers;
        pointers.reserve(rows.size());
        for (const Row& row : rows)
            pointers.append(&row);
        return pointers;
    }
};
