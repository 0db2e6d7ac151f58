// Fuzz target: settings file bytes through the store's reader. Whatever the reader accepts must
// come back unchanged after a save and a second read: the same tree, and the same bytes when
// written again. Any text a value is given must come back as the store keeps it (storableText:
// control characters but tab, CR and LF, lone surrogates, U+FFFE and U+FFFF left out), and the
// file written must be valid XML 1.0 to a plain reader: the input's first bytes read as UTF-16 are
// stored as one value and read back.
#include "app/SettingsStore.h"

#include <QXmlStreamReader>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QByteArray& written) {
    std::fprintf(stderr, "settings round trip: %s\n--- written ---\n%s\n", what,
                 written.left(4000).constData());
    std::abort();
}

void checkDocument(const QByteArray& bytes) {
    SettingsStore first{QString()}; // no file name: nothing is read or saved
    if (!first.fromXml(bytes))
        return;
    const QByteArray written = first.toXml();
    SettingsStore second{QString()};
    QString error;
    if (!second.fromXml(written, &error))
        fail(qPrintable(QStringLiteral("the saved file cannot be read: ") + error), written);
    if (!second.sameTree(first))
        fail("the tree read back differs", written);
    if (second.toXml() != written)
        fail("saving again writes other bytes", written);
}

void checkValue(const QByteArray& bytes) {
    // Raw UTF-16 units, unchecked: lone surrogates and a leading byte order mark stay.
    const QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    SettingsStore first{QString()}; // no file name: nothing is read or saved
    first.WriteText(QStringLiteral("Fuzz\\Value"), text);
    first.WriteList(QStringLiteral("Fuzz\\List"), text.split(u'\n'));
    const QByteArray written = first.toXml();
    SettingsStore second{QString()};
    if (!second.fromXml(written))
        fail("a saved value makes the file unreadable", written);
    const QString kept = SettingsStore::storableText(text);
    if (second.ReadText(QStringLiteral("Fuzz\\Value"), QString()) != kept)
        fail("a value read back differs", written);
    QStringList list;
    second.ReadList(QStringLiteral("Fuzz\\List"), list);
    QStringList keptList = text.split(u'\n');
    for (QString& item : keptList)
        item = SettingsStore::storableText(item);
    if (list != keptList)
        fail("a list read back differs", written);
    if (SettingsStore::storableText(kept) != kept)
        fail("a stored text is not storable", written);
    QXmlStreamReader strict(written);
    while (!strict.atEnd())
        strict.readNext();
    if (strict.hasError())
        fail(qPrintable(QStringLiteral("the file is not valid XML: ") + strict.errorString()),
             written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDocument(bytes);
    // Values are short in practice, and every character beyond ASCII costs a reference each way:
    // a shorter text keeps the executions quick.
    checkValue(bytes.left(1024));
    return 0;
}
