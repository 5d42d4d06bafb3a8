#pragma once

#include <QRect>
#include <QRegion>

#include <optional>

namespace kolu {

// Where the rail stands in its window, in one model. The window (the room)
// holds the rail opened and closed alike; the content (the rail's views)
// stands in it where the rail rests, or, while a slide runs, fills it; and
// of the content there shows all of it, or, while a slide reveals part of
// the window, the part the slide has reached. The rail's rest is in screen
// coordinates, everything else here in the window's; the content's own
// regions become the window's only through toWindow().
struct RailPlace {
    // Where the rail rests, or will once the slide under way ends (screen).
    QRect rest;
    // While a slide reveals part of a window that holds its whole way: the
    // part shown.
    std::optional<QRect> reveal;
    // While a slide moves the window, the rail's own size, with it.
    bool slideMovesWindow = false;

    bool isSliding() const { return reveal || slideMovesWindow; }
    // The content's rectangle in a window at `window` (screen).
    QRect content(const QRect &window) const;
    // The part of the content that shows.
    QRect shown(const QRect &window) const { return reveal.value_or(content(window)); }
    // `region`, in the content's coordinates, in the window's and cut to
    // what shows.
    QRegion toWindow(const QRegion &region, const QRect &window) const;
    // The rail's frame on screen: where it rests, or the part a slide has
    // reached.
    QRect onScreen(const QRect &window) const;
};

} // namespace kolu
