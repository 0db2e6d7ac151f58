#pragma once

#include "Endpoint.h"
#include "PtclDirectory.h"

// ptcl.php: the telephone directory's search page. Takes the form fields phone, or name and
// address (posted as a web form or in the query) and answers an HTML page with a table of the
// entries found, or an error box when <data>/ptcl/busy.txt exists (its text is the message).
class PtclEndpoint : public Endpoint {
public:
    using Endpoint::Endpoint;
    QString name() const override { return QStringLiteral("ptcl.php"); }
    QHttpServerResponse answer(const QHttpServerRequest& request) override;

    static constexpr int MaxResults = 200;

private:
    PtclDirectory m_directory;
};
