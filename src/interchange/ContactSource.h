#pragma once

#include "interchange/ContactCard.h"

#include <QString>
#include <memory>

class QIODevice;

// A file of contacts read one card at a time (vCard or CSV), so memory stays bounded whatever
// the file's size. A card that cannot be read is skipped and counted, never the whole file.
class ContactSource {
public:
    virtual ~ContactSource() = default;
    // The next readable card; false at the end of the file.
    virtual bool next(ContactCard& card) = 0;
    // Cards (or rows) skipped because they could not be read.
    virtual int unreadable() const = 0;
    // Bytes read so far, for progress.
    virtual qint64 position() const = 0;

    // A reader for the file's content: vCard when it holds "BEGIN:VCARD" near its start or its
    // name ends in .vcf/.vcard, CSV otherwise. The device must stay open while it is read.
    static std::unique_ptr<ContactSource> open(QIODevice& device, const QString& fileName);
};
