#include "interchange/ContactSource.h"

#include "interchange/CsvContactReader.h"
#include "interchange/VCardReader.h"

#include <QIODevice>

std::unique_ptr<ContactSource> ContactSource::open(QIODevice& device, const QString& fileName) {
    const QString lower = fileName.toLower();
    bool vcard = lower.endsWith(QLatin1String(".vcf")) || lower.endsWith(QLatin1String(".vcard"));
    if (!vcard && !lower.endsWith(QLatin1String(".csv"))) {
        const QByteArray start = device.peek(4096).toUpper();
        vcard = start.contains("BEGIN:VCARD");
    }
    if (vcard)
        return std::make_unique<VCardReader>(device);
    return std::make_unique<CsvContactReader>(device);
}
