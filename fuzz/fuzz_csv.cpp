// Fuzz target: CSV bytes through the reader (encoding and separator detection, quoted fields)
// and the mapping onto the columns. What is read must survive the program's own CSV export:
// written and read again, the rows come back the same the second time as the first.
#include "CardRoundTrip.h"
#include "FuzzCheck.h"
#include "interchange/CsvContactReader.h"
#include "interchange/CsvWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fail(const char* what, const QByteArray& written) {
    fuzzFail("CSV round trip", what, written);
}

QList<ContactRow> readAll(const QByteArray& bytes) {
    return readCards<CsvContactReader>(bytes);
}

QByteArray writeAll(const QList<ContactRow>& rows) {
    QByteArray out = CsvWriter::header();
    for (const ContactRow& r : rows)
        out += CsvWriter::record(r, QStringLiteral("Fuzz"), cardCityName(r));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<ContactRow> first = readAll(bytes);
    const QByteArray written = writeAll(first);
    const QList<ContactRow> second = readAll(written);
    const QByteArray again = writeAll(second);
    const QList<ContactRow> third = readAll(again);
    if (third.size() != second.size())
        fail("rows written are lost when read again", again);
    for (qsizetype i = 0; i < second.size(); ++i)
        if (!sameColumns(second[i], third[i]))
            fail("a row read back differs", again);
    return 0;
}
