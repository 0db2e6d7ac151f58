#include "AdvTopEndpoint.h"

QString AdvTopEndpoint::body(const Advert& advert, int screenWidth) const {
    // The window's left 150 pixels of the strip lie under the program's logo.
    const int width = qMin(screenWidth - 32 - 150 - 8, 1400);
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\"><tr>"
                          "<td width=\"154\"></td><td>%1</td></tr></table>")
        .arg(picture(advert, width, 100));
}
