#include "style/MenuStyle.h"

#include "style/ContinuousCorners.h"
#include "style/IconProvider.h"
#include "style/MenuLook.h"
#include "style/OrlixStyle.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Row anatomy, in logical pixels, leading edge first.
constexpr int kPadX = 10; // inside a row, at both ends
constexpr int kPadY = 3;
constexpr int kCheck = 12, kCheckGap = 6;
constexpr int kIconGap = 8;
constexpr int kShortcutGap = 24; // between the title and the shortcut column
constexpr int kArrow = 8, kArrowGap = 10;
constexpr qreal kHighlightRadius = 6;

// A column for check marks only where some checkable row has no symbol: a
// row with a symbol shows its state through the symbol (a check mark in
// place of a folder, say).
bool needsCheckColumn(const QStyleOptionMenuItem &item, const QWidget *widget)
{
    if (const auto *menu = qobject_cast<const QMenu *>(widget)) {
        const QList<QAction *> actions = menu->actions();
        return std::any_of(actions.begin(), actions.end(), [](const QAction *action) {
            return action->isVisible() && !action->isSeparator() && action->isCheckable()
                   && (action->icon().isNull() || !action->isIconVisibleInMenu());
        });
    }
    return item.menuHasCheckableItems;
}

// The icon at `size` for the painter's device, a mask icon recoloured in
// `tint` with its own alpha kept.
QPixmap iconPixmap(const QIcon &icon, int size, qreal dpr, QIcon::Mode mode, QIcon::State state, const QColor &tint)
{
    if (!icon.isMask())
        return icon.pixmap(QSize(size, size), dpr, mode, state);
    const QPixmap mask = icon.pixmap(QSize(size, size), dpr, QIcon::Normal, state);
    if (mask.isNull())
        return mask;
    QPixmap tinted(mask.size());
    tinted.setDevicePixelRatio(mask.devicePixelRatio());
    tinted.fill(Qt::transparent);
    QPainter painter(&tinted);
    painter.drawPixmap(0, 0, mask);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), tint);
    painter.end();
    return tinted;
}

void drawSeparator(QPainter &painter, const QRect &rect, const MenuColors &colors)
{
    const qreal y = std::floor(rect.top() + rect.height() / 2.0);
    painter.fillRect(QRectF(rect.left() + kPadX / 2.0, y, rect.width() - kPadX, 1), colors.separator);
}

} // namespace

MenuStyle::MenuStyle(std::function<bool(const QWidget *)> roundedCorners)
    : m_roundedCorners(std::move(roundedCorners))
{
}

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (element == PE_FrameMenu)
        return; // drawn with the panel, where the corners can round
    if (element != PE_PanelMenu) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const MenuColors colors = menuColors(OrlixStyle::current());
    const QRectF rect(option->rect);
    painter->save();
    if (m_roundedCorners && m_roundedCorners(widget)) {
        painter->setRenderHint(QPainter::Antialiasing);
        const QPainterPath shape = continuousRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kRadius);
        painter->fillPath(shape, colors.background);
        painter->strokePath(shape, QPen(colors.border, 1));
    } else {
        // Square, with every pixel opaque: right whether or not the window
        // could have blended corners.
        painter->setCompositionMode(QPainter::CompositionMode_Source);
        painter->fillRect(rect, colors.background);
        painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter->setPen(QPen(colors.border, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter->restore();
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    if (element == CE_MenuEmptyArea)
        return; // the panel is already there
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const MenuColors colors = menuColors(OrlixStyle::current());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        drawSeparator(*painter, item->rect, colors);
        painter->restore();
        return;
    }

    const bool enabled = item->state & State_Enabled;
    const bool selected = enabled && (item->state & State_Selected);
    const QColor foreground = !enabled ? colors.disabledText : selected ? colors.highlightedText : colors.text;
    const QRect row = item->rect;
    if (selected)
        painter->fillPath(continuousRoundedRect(QRectF(row).adjusted(0, 0.5, 0, -0.5), kHighlightRadius),
                          colors.highlight);

    const auto visual = [&](const QRect &logical) { return visualRect(item->direction, row, logical); };
    int x = row.left() + kPadX;
    if (needsCheckColumn(*item, widget)) {
        if (item->checked && item->icon.isNull())
            IconProvider::paint(*painter, visual(QRect(x, row.top(), kCheck, row.height())), u"checkmark"_s, kCheck,
                                foreground, IconWeight::bold);
        x += kCheck + kCheckGap;
    }
    if (item->maxIconWidth > 0) {
        if (!item->icon.isNull()) {
            const QIcon::Mode mode = !enabled ? QIcon::Disabled : selected ? QIcon::Active : QIcon::Normal;
            const QPixmap pixmap = iconPixmap(item->icon, MenuLook::kIconSize, painter->device()->devicePixelRatioF(),
                                              mode, item->checked ? QIcon::On : QIcon::Off, foreground);
            const QSizeF shown = pixmap.deviceIndependentSize();
            const QRect column = visual(QRect(x, row.top(), MenuLook::kIconSize, row.height()));
            painter->drawPixmap(QRectF(column.left() + (MenuLook::kIconSize - shown.width()) / 2.0,
                                       column.top() + (column.height() - shown.height()) / 2.0, shown.width(),
                                       shown.height()),
                                pixmap, QRectF(pixmap.rect()));
        }
        x += MenuLook::kIconSize + kIconGap;
    }

    int right = row.right() + 1 - kPadX;
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        const QRect arrow = visual(QRect(right - kArrow, row.top(), kArrow, row.height()));
        const bool mirrored = item->direction == Qt::RightToLeft;
        IconProvider::paint(*painter, arrow, mirrored ? u"chevron.left"_s : u"chevron.right"_s, kArrow + 1,
                            selected ? foreground : colors.shortcutText, IconWeight::bold);
        right -= kArrow + kArrowGap;
    }

    const qsizetype tab = item->text.indexOf(u'\t');
    const QString title = tab < 0 ? item->text : item->text.left(tab);
    QFont font = item->font;
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter->setFont(font);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget))
        flags |= Qt::TextHideMnemonic;
    if (tab >= 0) {
        const int width = item->reservedShortcutWidth;
        painter->setPen(!enabled ? colors.disabledText : selected ? colors.highlightedText : colors.shortcutText);
        painter->drawText(visual(QRect(right - width, row.top(), width, row.height())),
                          flags | int(visualAlignment(item->direction, Qt::AlignRight)), item->text.mid(tab + 1));
        right -= width + kShortcutGap;
    }
    painter->setPen(foreground);
    painter->drawText(visual(QRect(x, row.top(), std::max(0, right - x), row.height())),
                      flags | int(visualAlignment(item->direction, Qt::AlignLeft)), title);
    painter->restore();
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                                  const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuItem || !item)
        return QProxyStyle::sizeFromContents(type, option, contents, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return QSize(contents.width(), kSeparatorHeight);
    int width = contents.width() + 2 * kPadX;
    if (needsCheckColumn(*item, widget))
        width += kCheck + kCheckGap;
    if (item->maxIconWidth > 0)
        width += MenuLook::kIconSize + kIconGap;
    // The menu adds the widest shortcut to every row itself.
    if (item->text.contains(u'\t'))
        width += kShortcutGap;
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
        width += kArrow + kArrowGap;
    return QSize(width, std::max(contents.height() + 2 * kPadY, kRowHeight));
}

int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
    case PM_MenuDesktopFrameWidth: return 0; // the border is drawn with the panel, inside the margins
    case PM_MenuHMargin:
    case PM_MenuVMargin: return kMargin;
    case PM_SmallIconSize:
        if (qobject_cast<const QMenu *>(widget))
            return MenuLook::kIconSize;
        break;
    default: break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int MenuStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                         QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_Menu_SupportsSections:
    case SH_Menu_Mask: return 0;
    default: return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

} // namespace kolu
