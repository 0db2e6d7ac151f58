#pragma once

#include "app/Page.h"

#include <QList>
#include <QPixmap>
#include <QRect>
#include <QStringList>

// The information page: seven pictures about the product (what it does, the directories, the
// dialer, reports, backup and updates), arranged to fill the page at any size.
class TINFO_FRM : public Page {
    Q_OBJECT
public:
    static constexpr int PictureCount = 7;
    static constexpr int Gap = 16;

    explicit TINFO_FRM(QWidget* parent = nullptr);

    // The picture files, in reading order.
    static QStringList pictureFiles();
    // The shape every picture is drawn in (the size the pictures are designed at).
    static QSize pictureShape();
    // Where each picture is drawn at the page's current size.
    QList<QRect> pictureRects() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QPixmap> m_rendered;
};
