#pragma once

#include "Endpoint.h"

// getupd.php: the update set of <data>/update/ — its fingerprint (hsh=yes), its part list
// (hsh=more), its part files (file=file.zup.NNN) and the maker's signature (file=file.sig).
class GetUpdEndpoint : public Endpoint {
public:
    using Endpoint::Endpoint;
    QString name() const override { return QStringLiteral("getupd.php"); }
    QHttpServerResponse answer(const QHttpServerRequest& request) override;
};
