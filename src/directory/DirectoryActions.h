#pragma once

#include "contacts/ContactRow.h"
#include "dialer/DialRequest.h"

#include <QList>

class QWidget;

// The ring, e-mail and home-page actions of the contact-style directory pages, handed to the
// desktop without waiting for the program that answers them.
class DirectoryActions {
public:
    // How long the balloon stays that says nothing here opens an address or file: long enough
    // to read a file's path.
    static constexpr int UnopenedBalloonMs = 6000;

    // Opens the mail program addressed to the rows' addresses (in list order); nothing when the
    // list is empty. When no program takes it, a balloon at the button says so.
    static void sendMail(const QList<ContactRow>& rows, QWidget* button);
    // Opens the first selected row's web site; nothing without a row.
    static void visitHomePage(const ContactRow* first, QWidget* button);
    // What Ring Phone (or Ring Mobile) hands the dialer for a row: prefix "PD", its city, its
    // title and its phone (mobile) numbers split at "," with empty pieces dropped.
    static DialRequest dialRequest(const ContactRow& row, bool mobile);
};
