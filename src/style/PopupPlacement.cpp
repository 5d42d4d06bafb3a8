#include "style/PopupPlacement.h"

#include "style/widgets/ModuleCard.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kolu {

PopupPlace placePopup(const QRect &field, const QSize &wanted, const QRect &bounds, int gap)
{
    PopupPlace place;
    const int width = std::min(std::max(wanted.width(), field.width()), bounds.width());
    int x = field.left();
    x = std::min(x, bounds.right() + 1 - width);
    x = std::max(x, bounds.left());

    const int below = bounds.bottom() + 1 - (field.bottom() + 1 + gap);
    const int aboveRoom = field.top() - gap - bounds.top();
    int height = wanted.height();
    if (height <= below) {
        place.above = false;
    } else if (height <= aboveRoom) {
        place.above = true;
    } else {
        place.above = aboveRoom > below;
        height = std::max(0, place.above ? aboveRoom : below);
    }
    const int y = place.above ? field.top() - gap - height : field.bottom() + 1 + gap;
    place.geometry = QRect(x, y, width, height);
    return place;
}

QRect popupBounds(const QWidget *field, int width)
{
    QScreen *screen = field->screen() ? field->screen() : QGuiApplication::primaryScreen();
    return popupBounds(field, width, screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080));
}

namespace {

constexpr const char *kPopupPanel = "koluPopupPanel";

QRect globalRect(const QWidget *widget)
{
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

const QWidget *cardOf(const QWidget *widget)
{
    const QWidget *card = widget->parentWidget();
    while (card && !qobject_cast<const ModuleCard *>(card))
        card = card->parentWidget();
    return card;
}

} // namespace

QRect visibleGlobalRect(const QWidget *widget)
{
    QRect shown = globalRect(widget);
    for (const QWidget *at = widget; at; at = at->isWindow() ? nullptr : at->parentWidget()) {
        shown &= globalRect(at);
        // A shaped window or widget shows only its mask.
        if (!at->mask().isEmpty())
            shown &= at->mask().boundingRect().translated(at->mapToGlobal(QPoint(0, 0)));
    }
    return shown;
}

void setPopupPanel(QWidget *panel)
{
    panel->setProperty(kPopupPanel, true);
}

QRect popupBounds(const QWidget *field, int width, const QRect &area)
{
    QRect bounds = area;
    const QWidget *card = cardOf(field);
    if (!card)
        return bounds;
    const QWidget *panel = card->parentWidget();
    while (panel && !panel->property(kPopupPanel).toBool())
        panel = panel->parentWidget();
    QRect shown = visibleGlobalRect(panel ? panel : card);
    if (shown.isEmpty()) // not on screen yet
        shown = globalRect(card);
    // A pop-up wider than its card still keeps to the panel: past it lies
    // the desktop, or the rail's tool strip.
    const QRect cardRect = globalRect(card);
    const QRect across = cardRect.width() >= width ? cardRect : shown;
    bounds.setLeft(std::max(bounds.left(), across.left()));
    bounds.setRight(std::min(bounds.right(), across.right()));
    // Top to bottom it stays on what shows: above the field where below is
    // short, else on the roomier side, scrolling the rest.
    bounds.setTop(std::max(bounds.top(), shown.top()));
    bounds.setBottom(std::min(bounds.bottom(), shown.bottom()));
    return bounds;
}

PopupPlace showPopupFor(QWidget *popup, const QWidget *field, const QSize &wanted, int gap)
{
    const QRect fieldRect(field->mapToGlobal(QPoint(0, 0)), field->size());
    const PopupPlace place = placePopup(fieldRect, wanted, popupBounds(field, wanted.width()), gap);
    popup->setGeometry(place.geometry);
    popup->show();
    return place;
}

void keepInsideCard(QWidget *popup)
{
    // A submenu opens beside its menu, by the menu's rule.
    const QWidget *owner = popup->parentWidget();
    if (!owner || owner->isWindow() || !cardOf(owner))
        return;
    const QRect at = popup->geometry();
    const QRect bounds = popupBounds(owner, at.width());
    if (bounds.contains(at))
        return;
    const QRect field = globalRect(owner);
    // The gap it left to its owner, kept where it moves.
    const int gap = at.top() > field.bottom()   ? at.top() - field.bottom() - 1
                    : at.bottom() < field.top() ? field.top() - at.bottom() - 1
                                                : 0;
    QRect placed = placePopup(field, at.size(), bounds, gap).geometry;
    if (placed.height() < at.height())
        placed = QRect(placed.left(), at.top(), placed.width(), at.height());
    popup->setGeometry(placed);
}

} // namespace kolu
