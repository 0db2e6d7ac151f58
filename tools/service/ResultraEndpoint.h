#pragma once

#include "Endpoint.h"
#include "ResultraHandler.h"

// resultra.php: the business directory search over the generated listings; their number is
// 2,400 unless <data>/resultra.count names another.
class ResultraEndpoint : public Endpoint {
public:
    explicit ResultraEndpoint(const QString& dataDir);
    QString name() const override { return QStringLiteral("resultra.php"); }
    QHttpServerResponse answer(const QHttpServerRequest& request) override;

private:
    ResultraHandler m_handler;
};
