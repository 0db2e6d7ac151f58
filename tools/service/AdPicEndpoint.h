#pragma once

#include "AdvertCatalog.h"
#include "Endpoint.h"

#include <memory>

// adpic.php?id=&w=&h=: an advertisement's picture as SVG.
class AdPicEndpoint : public Endpoint {
public:
    AdPicEndpoint(QString dataDir, std::shared_ptr<const AdvertCatalog> catalog)
        : Endpoint(std::move(dataDir)), m_catalog(std::move(catalog)) {}
    QString name() const override { return QStringLiteral("adpic.php"); }
    QHttpServerResponse answer(const QHttpServerRequest& request) override;

private:
    std::shared_ptr<const AdvertCatalog> m_catalog;
};
