#pragma once

#include "AdvertEndpoint.h"

// adv_lft.php: the column beside the business and PTCL pages' results.
class AdvLftEndpoint : public AdvertEndpoint {
public:
    using AdvertEndpoint::AdvertEndpoint;
    QString name() const override { return QStringLiteral("adv_lft.php"); }

protected:
    QString body(const Advert& advert, int screenWidth) const override;
};
