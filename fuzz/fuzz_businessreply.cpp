// Fuzz target: a business directory reply through its reader. Whatever rows are read must come
// back the same when written again in the reply's own form and read a second time, and there are
// never more rows than records closed by byte 30.
#include "business/BusinessReply.h"

#include "FuzzCheck.h"

#include <cstdint>

namespace {

[[noreturn]] void fail(const char* what) {
    fuzzFail("business reply", what);
}

QByteArray latin1(const QString& text) {
    return latin1Only("business reply", text);
}

// The reply the rows were read from, as the service would have sent it.
QByteArray written(const BusinessReply& reply) {
    QByteArray out = latin1(reply.status) + '>';
    for (const BusinessRow& r : reply.rows) {
        const QString fields[] = {QString::number(r.CD),
                                  QString::number(r.CCD),
                                  r.CNAM,
                                  r.PNAM,
                                  r.PDSG,
                                  r.ADR,
                                  r.ZCD,
                                  r.PHN,
                                  r.MOB,
                                  r.UAN,
                                  r.FAX,
                                  r.EML,
                                  r.WEB,
                                  r.BTP,
                                  r.BDS,
                                  r.RowColour};
        for (int i = 0; i < BusinessReply::FieldCount; ++i) {
            if (i > 0)
                out += BusinessReply::FieldSeparator;
            out += latin1(fields[i]);
        }
        out += BusinessReply::RecordSeparator;
    }
    return out;
}

bool sameRows(const BusinessRow& a, const BusinessRow& b) {
    return a.CD == b.CD && a.CCD == b.CCD && a.CNAM == b.CNAM && a.PNAM == b.PNAM &&
           a.PDSG == b.PDSG && a.ADR == b.ADR && a.ZCD == b.ZCD && a.PHN == b.PHN &&
           a.MOB == b.MOB && a.UAN == b.UAN && a.FAX == b.FAX && a.EML == b.EML && a.WEB == b.WEB &&
           a.BTP == b.BTP && a.BDS == b.BDS && a.RowColour == b.RowColour;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const BusinessReply first = BusinessReply::parse(bytes);
    if (first.rows.size() > bytes.count(BusinessReply::RecordSeparator))
        fail("more rows than records");
    if (!first.error.isEmpty() && bytes.indexOf('>') < 0)
        fail("an error without any record");
    const QByteArray again = written(first);
    const BusinessReply second = BusinessReply::parse(again);
    if (second.status != first.status)
        fail("the status text differs after writing it again");
    if (!second.error.isEmpty())
        fail(qPrintable(QStringLiteral("rows read once cannot be read again: ") + second.error));
    if (second.rows.size() != first.rows.size())
        fail("the row count differs after writing the rows again");
    for (qsizetype i = 0; i < first.rows.size(); ++i)
        if (!sameRows(first.rows[i], second.rows[i]))
            fail("a row differs after writing it again");
    return 0;
}
