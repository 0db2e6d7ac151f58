#pragma once

#include "AdvertCatalog.h"
#include "Endpoint.h"

#include <memory>

// Shared part of the two advertisement pages: reads pgi, cnt, scr and qry, picks the
// advertisement and wraps its picture into a complete page carrying the "<!--done-->" marker.
class AdvertEndpoint : public Endpoint {
public:
    AdvertEndpoint(QString dataDir, std::shared_ptr<const AdvertCatalog> catalog)
        : Endpoint(std::move(dataDir)), m_catalog(std::move(catalog)) {}
    QHttpServerResponse answer(const QHttpServerRequest& request) override;

protected:
    // The page's body for the chosen advertisement at the given screen width.
    virtual QString body(const Advert& advert, int screenWidth) const = 0;
    // The picture element of an advertisement, width by height pixels.
    static QString picture(const Advert& advert, int width, int height);

private:
    std::shared_ptr<const AdvertCatalog> m_catalog;
};
