#include "AdvLftEndpoint.h"

QString AdvLftEndpoint::body(const Advert& advert, int) const {
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\" border=\"0\"><tr><td>"
                          "%1</td></tr></table>")
        .arg(picture(advert, 225, 300));
}
