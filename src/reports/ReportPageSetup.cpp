#include "reports/ReportPageSetup.h"

#include <QRectF>
#include <QSet>

QPageSize::PageSizeId ReportPageSetup::paperFor(const QLocale& locale) {
    static const QSet<QLocale::Territory> letter{
        QLocale::UnitedStates, QLocale::Canada,     QLocale::Mexico,           QLocale::Chile,
        QLocale::Colombia,     QLocale::CostaRica,  QLocale::Guatemala,        QLocale::Panama,
        QLocale::Philippines,  QLocale::PuertoRico, QLocale::Venezuela,        QLocale::ElSalvador,
        QLocale::Nicaragua,    QLocale::Belize,     QLocale::DominicanRepublic};
    if (letter.contains(locale.territory()) ||
        locale.measurementSystem() == QLocale::ImperialUSSystem)
        return QPageSize::Letter;
    return QPageSize::A4;
}

QPageLayout ReportPageSetup::layoutFor(const RtfPageProps& page, const QLocale& locale) {
    const bool landscape =
        page.landscape || (page.paperWidth > 0 && page.paperWidth > page.paperHeight);
    // Twips are twentieths of a point.
    auto margin = [](int twips) { return twips > 0 ? twips / 20.0 : 2.0 / 2.54 * 72.0; };
    const QMarginsF margins(margin(page.marginLeft), margin(page.marginTop),
                            margin(page.marginRight), margin(page.marginBottom));
    QPageLayout layout(QPageSize(paperFor(locale)),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Point);
    // Margins that leave no room for text (a hand-made template) fall back to the default.
    const QSizeF paper = layout.fullRect(QPageLayout::Point).size();
    if (margins.left() + margins.right() < paper.width() * 0.8 &&
        margins.top() + margins.bottom() < paper.height() * 0.8)
        layout.setMargins(margins);
    else
        layout.setMargins(QMarginsF(56.69, 56.69, 56.69, 56.69));
    return layout;
}
