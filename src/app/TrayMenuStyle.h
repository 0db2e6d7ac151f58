#pragma once

#include <QColor>
#include <QFont>
#include <QProxyStyle>

class QMenu;

// The program's owner-drawn menu look (tray menu and the pages' context menus): items on a
// white-to-button-face gradient, the highlighted item framed on a white-to-navy diagonal
// gradient, checked items framed in black, separators as a grey line with an optional bold title,
// 22-pixel items.
class TrayMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 22;
    static constexpr int TextIndent = 12;
    static inline const QColor ButtonFace{0xD4, 0xD8, 0xE2};
    static inline const QColor Grey{0x80, 0x80, 0x80};
    static inline const QColor Navy{0x00, 0x00, 0x80};
    static inline const QColor GreyText{0x80, 0x80, 0x80};

    TrayMenuStyle();

    // The one shared instance; it lives as long as the application.
    static TrayMenuStyle* instance();
    // Gives a menu (and a submenu added later through this call again) the look and its font.
    static void apply(QMenu* menu);
    // A user's text (a contact's or a folder's name) as a menu caption that shows as typed: '&'
    // doubled so it is no mnemonic marker, a tab (the shortcut column) as a blank.
    static QString caption(const QString& text);
    // The menu font: a sans-serif face 11 pixels high.
    static QFont menuFont();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    void drawSeparator(const class QStyleOptionMenuItem* item, QPainter* painter) const;
    void drawItem(const class QStyleOptionMenuItem* item, QPainter* painter) const;
};
