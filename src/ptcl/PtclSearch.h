#pragma once

#include "ptcl/PtclRow.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The PTCL search's texts: checking the phone box, the request handed to the plug-in and the
// reading of its reply. Requests and replies are Latin-1 bytes; RS is byte 30, US byte 31.
namespace PtclSearch {

// What is wrong with a phone search's box, if anything.
enum class PhoneCheck { Valid, Empty, Invalid };

// Empty without text; invalid at 5 characters or fewer or with anything but digits.
PhoneCheck checkPhone(const QString& phone);

// The phone number without blanks at its ends, US, US.
QByteArray phoneRequest(const QString& phone);

// US, the name, US, the address, each without blanks at its ends.
QByteArray nameAddressRequest(const QString& name, const QString& address);

// The plug-in's answer: a message for the user, or the records read from it.
struct Reply {
    bool isError = false;
    QString message;
    QList<PtclRow> rows;
};

// Reads a reply: "Error:" (exactly) and a message, or records each closed by RS with the fields
// phone, name, address separated by US. What follows the last RS is ignored; a record short of
// fields leaves the missing ones empty.
Reply parseReply(const QByteArray& reply);

} // namespace PtclSearch
