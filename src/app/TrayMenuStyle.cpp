#include "app/TrayMenuStyle.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {
void paintItemGradient(QPainter* painter, const QRect& rect, const QPointF& from, const QPointF& to,
                       const QColor& first, const QColor& last) {
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0, first);
    gradient.setColorAt(1, last);
    painter->fillRect(rect, gradient);
}

void paintHorizontalGradient(QPainter* painter, const QRect& rect) {
    paintItemGradient(painter, rect, rect.topLeft(), rect.topRight(), Qt::white,
                      TrayMenuStyle::ButtonFace);
}

QFont boldOf(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}
} // namespace

TrayMenuStyle::TrayMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

TrayMenuStyle* TrayMenuStyle::instance() {
    static TrayMenuStyle* style = [] {
        auto* s = new TrayMenuStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

void TrayMenuStyle::apply(QMenu* menu) {
    menu->setStyle(instance());
    menu->setFont(menuFont());
}

QString TrayMenuStyle::caption(const QString& text) {
    QString shown = text;
    shown.replace(u'&', QStringLiteral("&&"));
    shown.replace(u'\t', u' ');
    return shown;
}

QFont TrayMenuStyle::menuFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void TrayMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    painter->save();
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        drawSeparator(item, painter);
    else
        drawItem(item, painter);
    painter->restore();
}

void TrayMenuStyle::drawSeparator(const QStyleOptionMenuItem* item, QPainter* painter) const {
    const QRect r = item->rect;
    paintHorizontalGradient(painter, r);
    int lineStart = r.left();
    if (!item->text.isEmpty()) {
        const QFont bold = boldOf(item->font);
        painter->setFont(bold);
        painter->setPen(Qt::black);
        const QRect textRect = r.adjusted(TextIndent, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          item->text);
        lineStart = r.left() + QFontMetrics(bold).horizontalAdvance(item->text) + 18;
    }
    const int y = r.top() + r.height() / 2;
    painter->setPen(Grey);
    painter->drawLine(lineStart, y, r.right(), y);
}

void TrayMenuStyle::drawItem(const QStyleOptionMenuItem* item, QPainter* painter) const {
    const QRect r = item->rect;
    const bool enabled = item->state & State_Enabled;
    const bool selected = item->state & State_Selected;
    int textLeft = r.left() + TextIndent;
    QColor textColour = Qt::black;
    if (selected) {
        painter->setPen(Grey);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        const QRect inner = r.adjusted(2, 2, -2, -2);
        paintItemGradient(painter, inner, inner.topLeft(), inner.bottomRight(), Qt::white, Navy);
        textLeft = inner.left() + 10;
        textColour = Qt::white;
    } else {
        paintHorizontalGradient(painter, r);
    }
    if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        painter->setPen(Qt::black);
        painter->drawRect(r.adjusted(2, 2, -3, -3));
    }
    if (!enabled)
        textColour = GreyText;
    if (!item->icon.isNull()) {
        const int extent = pixelMetric(PM_SmallIconSize);
        const QPixmap pm = item->icon.pixmap(extent, enabled ? QIcon::Normal : QIcon::Disabled);
        painter->drawPixmap(r.left() + 11, r.top() + (r.height() - extent) / 2, pm);
        textLeft = r.left() + 11 + extent + 6;
    }

    painter->setFont(item->font);
    const QFontMetrics metrics(item->font);
    const int shrink = (r.height() - metrics.height() - 1) / 2;
    QRect textRect(textLeft, r.top() + shrink, r.right() - textLeft, r.height() - 2 * shrink);
    const QString label = item->text.section(u'\t', 0, 0);
    const QString shortcut = item->text.section(u'\t', 1);
    painter->setPen(textColour);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    painter->drawText(textRect, flags, label);
    if (!shortcut.isEmpty())
        painter->drawText(textRect.adjusted(0, 0, -TextIndent - 8, 0),
                          Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, shortcut);

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        const int cy = r.top() + r.height() / 2;
        const int x = r.right() - 10;
        const QPolygon arrow({QPoint(x, cy - 4), QPoint(x + 4, cy), QPoint(x, cy + 4)});
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(textColour);
        painter->drawPolygon(arrow);
    }
}

void TrayMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelMenu) {
        painter->fillRect(option->rect, ButtonFace);
        painter->setPen(Grey);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    if (element == PE_FrameMenu) {
        painter->setPen(Grey);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize TrayMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item)
        return result;
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        // A titled separator is made tall enough for its title; plain ones keep their height.
        if (!item->text.isEmpty()) {
            const QFontMetrics bold(boldOf(item->font));
            result.setHeight(std::max(result.height(), bold.height() + 6));
            result.setWidth(
                std::max(result.width(), TextIndent + bold.horizontalAdvance(item->text) + 40));
        }
        return result;
    }
    const QFontMetrics metrics(item->font);
    const int arrow = item->menuItemType == QStyleOptionMenuItem::SubMenu ? 20 : 0;
    const int wanted = TextIndent + metrics.horizontalAdvance(item->text) + TextIndent + arrow;
    result.setWidth(std::max(result.width(), wanted));
    result.setHeight(ItemHeight);
    return result;
}

int TrayMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 1;
    case PM_SubMenuOverlap:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int TrayMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == SH_Menu_SupportsSections)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
