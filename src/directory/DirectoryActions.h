#pragma once

#include "personal/ContactRow.h"

#include <QList>

// The e-mail and home-page actions of the contact-style directory pages, handed to the desktop
// without waiting for the program that answers them.
class DirectoryActions {
public:
    // Opens the mail program addressed to the rows' addresses (in list order); nothing when the
    // list is empty.
    static void sendMail(const QList<ContactRow>& rows);
    // Opens the first selected row's web site; nothing without a row.
    static void visitHomePage(const ContactRow* first);
};
