#pragma once

#include "PrivateDisplay.h"

#include <QRect>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace kolu::test {

// The bounds, on the screen, of what of `window` shows (its bounding shape)
// or takes the pointer (its input shape); empty for an empty shape. The rail
// window holds the rail opened and closed alike: its shapes, not its size,
// tell where the rail stands.
inline QRect shapeOnScreen(const PrivateDisplay &display, quint32 window, xcb_shape_kind_t kind)
{
    xcb_connection_t *c = display.connection();
    auto *rectangles = xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, window, kind), nullptr);
    auto *origin =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, display.root(), 0, 0), nullptr);
    QRect bounds;
    if (rectangles && origin) {
        const xcb_rectangle_t *rect = xcb_shape_get_rectangles_rectangles(rectangles);
        for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(rectangles); ++i)
            bounds |= QRect(rect[i].x, rect[i].y, rect[i].width, rect[i].height);
        bounds.translate(origin->dst_x, origin->dst_y);
    }
    std::free(rectangles);
    std::free(origin);
    return bounds;
}

// Where the rail stands: what of it takes the pointer, else (the collapsed
// top rail lets every click through) what of it shows; empty when nothing
// does (a shape that says "nothing" lies outside the window).
inline QRect railOnScreen(const PrivateDisplay &display, quint32 rail, const QRect &window)
{
    const QRect input = shapeOnScreen(display, rail, XCB_SHAPE_SK_INPUT) & window;
    return input.isEmpty() ? shapeOnScreen(display, rail, XCB_SHAPE_SK_BOUNDING) & window : input;
}
inline QRect railOnScreen(const PrivateDisplay &display, quint32 rail)
{
    return railOnScreen(display, rail, display.geometry(rail));
}

// Whether the rail stands inside `frame` with the window holding all of
// `frame`, opened (wider and taller than its `handle`) or parked (then it
// may show nothing at all).
inline bool railStandsIn(const PrivateDisplay &display, quint32 rail, const QRect &frame, bool opened, int handle = 18)
{
    const QRect window = display.geometry(rail);
    const QRect on = railOnScreen(display, rail, window);
    const bool open = on.width() > handle && on.height() > handle;
    return (on.isEmpty() || frame.contains(on)) && open == opened && window.contains(frame);
}

} // namespace kolu::test
