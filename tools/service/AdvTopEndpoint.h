#pragma once

#include "AdvertEndpoint.h"

// adv_top.php: the strip across the top of the main window, right of its logo.
class AdvTopEndpoint : public AdvertEndpoint {
public:
    using AdvertEndpoint::AdvertEndpoint;
    QString name() const override { return QStringLiteral("adv_top.php"); }

protected:
    QString body(const Advert& advert, int screenWidth) const override;
};
