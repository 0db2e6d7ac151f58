#include "directory/DirectoryActions.h"

#include "app/WaitCursor.h"
#include "directory/ContactActions.h"
#include "platform/Shell.h"

void DirectoryActions::sendMail(const QList<ContactRow>& rows) {
    WaitCursor wait;
    const QUrl url = ContactActions::mailUrl(rows);
    if (!url.isEmpty())
        Shell::open(url);
}

void DirectoryActions::visitHomePage(const ContactRow* first) {
    if (!first)
        return;
    WaitCursor wait;
    Shell::open(ContactActions::homePageUrl(first->WEB));
}
