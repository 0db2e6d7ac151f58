#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One advertisement: who advertises, what it says, its colours and the words it answers to.
struct Advert {
    QString id;
    QString headline;
    QString tagline;
    QString phone;
    QString colourFrom;
    QString colourTo;
    QString motif; // picture drawn beside the text: car, plate, plane, screen, phone, cross, roll,
                   // house, book
    QStringList words;
    QList<int> pages; // pages on which it is shown without a query
};

// The advertisements the service offers, and the choice of one for a request: the first whose
// words meet the search query, otherwise one of the page's own in turn by the counter.
class AdvertCatalog {
public:
    AdvertCatalog();

    const Advert& pick(int page, int counter, const QString& query) const;
    const Advert* find(const QString& id) const;
    // The picture of an advertisement as SVG, width by height pixels.
    static QByteArray picture(const Advert& advert, int width, int height);

private:
    QList<Advert> m_adverts;
};
