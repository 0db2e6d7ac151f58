#pragma once

#include "contacts/ContactRow.h"

#include <QList>
#include <QString>
#include <QUrl>

// The rules behind the action buttons of a directory page: which buttons a selection enables,
// and the addresses handed to the desktop for e-mail and the home page.
class ContactActions {
public:
    struct ButtonStates {
        bool DL = false;  // ring phone
        bool MBL = false; // ring mobile
        bool EM = false;  // e-mail
        bool HMP = false; // home page
        bool RTF = false; // report
    };

    // States for the first selected row and the number of selected rows.
    static ButtonStates enabling(const ContactRow& first, int selectedCount);

    // An e-mail field as an address alone: anything from '?' on is dropped, so a listing
    // cannot add headers or attachments to the message.
    static QString mailAddress(const QString& field);
    // The addresses of the rows, in order, joined by "," once the list holds more than blanks.
    static QString mailAddressList(const QList<ContactRow>& rows);
    // "mailto:" + the list; an empty URL when the list is empty.
    static QUrl mailUrl(const QList<ContactRow>& rows);
    // "mailto:" + the addresses alone (mailAddress); an empty URL when there are none.
    static QUrl mailUrl(const QString& addresses);
    // The web site as an address: "http://" in front unless it already starts with a scheme
    // "http://" or "https://" (ignoring case).
    static QUrl homePageUrl(const QString& web);
};
