#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

// A plain panel in one colour that shows a picture at its left or right edge (the logo panel
// img_p1 and the banner panel img_p2 of the header).
class PicturePanel : public QWidget {
    Q_OBJECT
public:
    PicturePanel(const QString& pictureFile, QSize pictureSize, Qt::Alignment side,
                 const QColor& colour, QWidget* parent = nullptr);

    QSize pictureSize() const { return m_size; }
    // Where the picture is drawn, in the panel's coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_file;
    QSize m_size;
    Qt::Alignment m_side;
    QColor m_colour;
    QPixmap m_picture;
};
