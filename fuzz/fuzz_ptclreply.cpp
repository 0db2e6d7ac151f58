// Fuzz target: the PTCL plug-in's reply through the page's reader. An "Error:" reply is a message
// and no rows; otherwise every record closed by byte 30 is a row, and rows written again in the
// reply's form read back the same (the address's capitals are already as the reader makes them).
#include "ptcl/PtclSearch.h"

#include "FuzzCheck.h"

#include <cstdint>

namespace {

constexpr char RS = '\x1e';
constexpr char US = '\x1f';

[[noreturn]] void fail(const char* what) {
    fuzzFail("ptcl reply", what);
}

QByteArray latin1(const QString& text) {
    return latin1Only("ptcl reply", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PtclSearch::Reply first = PtclSearch::parseReply(bytes);
    if (first.isError) {
        if (!bytes.startsWith("Error:") || !first.rows.isEmpty())
            fail("an error reply that is not one, or one with rows");
        return 0;
    }
    if (first.rows.size() != bytes.count(RS))
        fail("the rows are not the records closed by RS");
    QByteArray again;
    for (const PtclRow& row : first.rows)
        again += latin1(row.PHN) + US + latin1(row.CNAM) + US + latin1(row.ADR) + RS;
    if (again.startsWith("Error:"))
        return 0; // a first row whose phone reads "Error:..." is a message when written again
    const PtclSearch::Reply second = PtclSearch::parseReply(again);
    if (second.isError || second.rows.size() != first.rows.size())
        fail("the rows written again read back as something else");
    for (qsizetype i = 0; i < first.rows.size(); ++i) {
        const PtclRow& a = first.rows[i];
        const PtclRow& b = second.rows[i];
        if (a.PHN != b.PHN || a.CNAM != b.CNAM)
            fail("a phone or name differs after writing the row again");
        if (a.ADR != b.ADR)
            fail("the address's capitals change when read a second time");
    }
    return 0;
}
