// Fuzz target: the update part list as the check reads it (the reply's lines, trailing empty
// lines dropped). An accepted list has distinct part numbers and 32-digit hexadecimal digests
// only, and the same list written again in the service's form is accepted as the same parts.
#include "online/ServiceClient.h"
#include "online/UpdateQueue.h"

#include <QSet>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "part list: %s\n", what);
    std::abort();
}

bool isDigest(const QString& text) {
    if (text.size() != 32)
        return false;
    for (QChar c : text)
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'x'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList lines =
        ServiceClient::Lines(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const auto parts = UpdateQueue::parsePartList(lines);
    if (!parts)
        return 0;
    if (parts->size() != lines.size())
        fail("a line was accepted without becoming a part");
    QSet<int> seen;
    QStringList again;
    for (const UpdatePart& part : *parts) {
        if (part.id < 0 || seen.contains(part.id))
            fail("a part number that is negative or given twice");
        if (!isDigest(part.hsh))
            fail("a digest that is not 32 hexadecimal digits");
        seen.insert(part.id);
        again << QString::number(part.id) + QStringLiteral(",'") + part.hsh + u'\'';
        if (UpdateQueue::partFileName(part.id).contains(u'/'))
            fail("a part's file name leaves the temp folder");
    }
    if (UpdateQueue::parsePartList(again) != parts)
        fail("the list written again reads as other parts");
    return 0;
}
