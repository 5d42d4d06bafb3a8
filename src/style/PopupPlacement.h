#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kolu {

// Where a pop-up opens for the field that opened it, all in global
// coordinates: under the field, its leading edge on the field's, at least
// as wide as the field. Where the space below is too short it opens above
// if that holds it, else on the side with more room, no taller than the room
// there (a list scrolls the rest). Across, it stays inside `bounds`: pushed
// back left or right where it would stick out, never wider than them.
struct PopupPlace {
    QRect geometry;
    bool above = false;
};
PopupPlace placePopup(const QRect &field, const QSize &wanted, const QRect &bounds, int gap = 4);

// The part of `widget` that shows, in global coordinates: its rectangle cut
// by every ancestor's up to its window, and by their masks.
QRect visibleGlobalRect(const QWidget *widget);

// Marks `panel` as the panel that holds module cards (the rail's detail
// panel): a pop-up of a card in it may cover the panel's own header, so a
// month fits above a field low in a short card.
void setPopupPanel(QWidget *panel);

// The area a pop-up of `field` may cover: the available area of the
// field's screen, narrowed to the module card the field sits in: across to
// the card where it is wide enough for `width` (so a pop-up never covers
// what lies beside the card, the rail's tool strip above all), else to the
// panel that holds it, and from top to bottom to the part of the card that
// shows, or of the panel that holds it, so that nothing hangs past it onto
// the desktop. (A card taller than its panel scrolls in it and runs on past
// what shows.)
QRect popupBounds(const QWidget *field, int width);
// The same within `area` (global coordinates) rather than the screen's.
QRect popupBounds(const QWidget *field, int width, const QRect &area);

// Places `popup` (a window) for `field` at `wanted` and shows it.
PopupPlace showPopupFor(QWidget *popup, const QWidget *field, const QSize &wanted, int gap = 4);

// A pop-up window that placed itself by its own rule (a menu keeps only to
// the screen) and is about to show: when the widget that owns it sits in a
// module card and the pop-up would stick out of what popupBounds allows, it
// moves inside, under or over its owner as placePopup has it. One taller
// than the room on either side keeps its height and only comes inside
// across: a menu cut short would hide its last rows.
void keepInsideCard(QWidget *popup);

} // namespace kolu
