// Fuzz target: vCard bytes through the reader and the mapping onto the columns. Whatever is read
// must survive the program's own writer: a card written and read again gives the same columns
// the second time as the first (after the first pass has settled the input's oddities), and
// every written line is at most 75 octets of whole UTF-8 characters.
#include "CardRoundTrip.h"
#include "FuzzCheck.h"
#include "interchange/VCardReader.h"
#include "interchange/VCardWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fail(const char* what, const QByteArray& written) {
    fuzzFail("vCard round trip", what, written);
}

QList<ContactRow> readAll(const QByteArray& bytes) {
    return readCards<VCardReader>(bytes);
}

QByteArray writeAll(const QList<ContactRow>& rows, VCardWriter::Version version) {
    QByteArray out;
    for (const ContactRow& r : rows)
        out += VCardWriter::card(r, cardCityName(r), version);
    return out;
}

void checkLines(const QByteArray& written) {
    for (const QByteArray& line : written.split('\n')) {
        const QByteArray physical = line.endsWith('\r') ? line.chopped(1) : line;
        if (physical.size() > 75)
            fail("a line longer than 75 octets", written);
        if (QString::fromUtf8(physical).toUtf8() != physical)
            fail("a line ends inside a character", written);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<ContactRow> first = readAll(bytes);
    for (VCardWriter::Version v : {VCardWriter::Version::V4, VCardWriter::Version::V3}) {
        const QByteArray written = writeAll(first, v);
        checkLines(written);
        const QList<ContactRow> second = readAll(written);
        if (second.size() != first.size())
            fail("a written card cannot be read", written);
        const QByteArray again = writeAll(second, v);
        const QList<ContactRow> third = readAll(again);
        for (qsizetype i = 0; i < second.size(); ++i)
            if (!sameColumns(second[i], third[i]))
                fail("a card read back differs", again);
    }
    return 0;
}
