#include "business/CopyToFolder.h"

#include "app/Helpers.h"
#include "data/DataSetEditor.h"
#include "data/Transaction.h"

namespace {
void setText(DataSetEditor& cdt, const char* column, const QString& text) {
    const QString name = QString::fromLatin1(column);
    const int limit = cdt.fieldLength(name);
    cdt.setField(name, limit > 0 ? LeftCharacters(text, limit) : text);
}
} // namespace

void CopyToFolder::copy(DataSetEditor& cdt, Transaction& transaction, int folderId,
                        const QList<ContactRow>& rows) {
    if (rows.isEmpty())
        return;
    cdt.setParam(QStringLiteral("VL"), 0);
    cdt.open();
    try {
        for (const ContactRow& row : rows) {
            cdt.append();
            cdt.setField(QStringLiteral("CTCD"), folderId);
            cdt.setField(QStringLiteral("CD"), row.CD); // replaced by the generator on post
            cdt.setField(QStringLiteral("CCD"), row.CCD);
            setText(cdt, "CNAM", row.CNAM);
            setText(cdt, "PNAM", row.PNAM);
            setText(cdt, "PDSG", row.PDSG);
            setText(cdt, "ADR", row.ADR);
            setText(cdt, "ZCD", row.ZCD);
            setText(cdt, "PHN", row.PHN);
            setText(cdt, "MOB", row.MOB);
            setText(cdt, "UAN", row.UAN);
            setText(cdt, "FAX", row.FAX);
            setText(cdt, "EML", row.EML);
            setText(cdt, "WEB", row.WEB);
            setText(cdt, "BTP", row.BTP);
            setText(cdt, "BDS", row.BDS);
            cdt.post();
        }
    } catch (...) {
        cdt.cancel();
        cdt.close();
        throw;
    }
    transaction.CommitRetaining();
    cdt.close();
}
