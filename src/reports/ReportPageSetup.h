#pragma once

#include "reports/RtfProps.h"

#include <QLocale>
#include <QPageLayout>

// The printed page of a report: the desktop locale's paper (Letter where that is the custom,
// otherwise A4), turned as the document is (landscape when it says so or its paper is wider than
// tall), with the document's margins or 2 cm where it sets none.
class ReportPageSetup {
public:
    static QPageSize::PageSizeId paperFor(const QLocale& locale);
    static QPageLayout layoutFor(const RtfPageProps& page, const QLocale& locale);
};
