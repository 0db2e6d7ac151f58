// Fuzz target: CSV bytes through the reader (encoding and separator detection, quoted fields)
// and the mapping onto the columns. What is read must survive the program's own CSV export:
// written and read again, the rows come back the same the second time as the first.
#include "interchange/ContactMapping.h"
#include "interchange/CsvContactReader.h"
#include "interchange/CsvWriter.h"

#include <QBuffer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
int city(const QString& name) {
    return name.compare(QLatin1String("Karachi"), Qt::CaseInsensitive) == 0 ? 28 : 0;
}

[[noreturn]] void fail(const char* what, const QByteArray& written) {
    std::fprintf(stderr, "CSV round trip: %s\n--- written ---\n%s\n", what,
                 written.left(4000).constData());
    std::abort();
}

QList<ContactRow> readAll(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvContactReader reader(buffer);
    QList<ContactRow> rows;
    ContactCard card;
    while (reader.next(card))
        rows << ContactMapping::toRow(card, city);
    return rows;
}

QByteArray writeAll(const QList<ContactRow>& rows) {
    QByteArray out = CsvWriter::header();
    for (const ContactRow& r : rows)
        out += CsvWriter::record(r, QStringLiteral("Fuzz"),
                                 r.CCD == 28 ? QStringLiteral("Karachi") : QString());
    return out;
}

bool same(const ContactRow& a, const ContactRow& b) {
    return a.CNAM == b.CNAM && a.PNAM == b.PNAM && a.PDSG == b.PDSG && a.ADR == b.ADR &&
           a.ZCD == b.ZCD && a.CCD == b.CCD && a.PHN == b.PHN && a.MOB == b.MOB && a.UAN == b.UAN &&
           a.FAX == b.FAX && a.EML == b.EML && a.WEB == b.WEB && a.BTP == b.BTP && a.BDS == b.BDS;
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
        if (!same(second[i], third[i]))
            fail("a row read back differs", again);
    return 0;
}
