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

// The area a pop-up of `field` may cover: the available area of the
// field's screen, narrowed to the part of the module card the field sits
// in that shows (a card scrolls inside its panel): across
// where the card is wide enough for `width` (so a pop-up never covers what
// lies beside the card, the rail's tool strip above all), and always from
// top to bottom, so that nothing hangs below the card onto the desktop.
QRect popupBounds(const QWidget *field, int width);
// The same within `area` (global coordinates) rather than the screen's.
QRect popupBounds(const QWidget *field, int width, const QRect &area);

// Places `popup` (a window) for `field` at `wanted` and shows it.
PopupPlace showPopupFor(QWidget *popup, const QWidget *field, const QSize &wanted, int gap = 4);

} // namespace kolu
