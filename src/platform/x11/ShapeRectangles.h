#pragma once

#include <QRegion>

#include <xcb/xcb.h>

#include <vector>

namespace kolu {

// The rectangles that give a window the shape `region`, in the form every
// reparenting window manager copies to its frame: never none and never one.
std::vector<xcb_rectangle_t> shapeRectangles(const QRegion &region);

} // namespace kolu
