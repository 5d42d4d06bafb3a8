#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QRegion>

class QPainter;

namespace kolu::ringpictures {

// The rings' pictures, each drawn once per tint and device scale and then
// only copied: a copy of a small picture whose pixels land on whole device
// pixels is one blend row by row on the painting thread, where stroking
// the rings again is many spans, which the raster engine blends on its
// pool of threads.

// The rings at `phase` (cycles; only the fraction counts), stroked in
// `tint` around `centre`.
void stroke(QPainter &painter, const QPointF &centre, const QColor &tint, double phase);

// Draws picture `index` (0 to rings::framesPerCycle - 1) of the rings in
// `tint` centred at `centre`, in the painter's logical coordinates. Under
// a rotation or an uneven scale it strokes them instead.
void draw(QPainter &painter, const QPointF &centre, const QColor &tint, int index);

// Picture `index` drawn solid, centred at `centre`: the pixels each ring's
// stroke covers at least half of, for a ring not yet faded nearly away. For
// a window where nothing blends the rings over the desktop: there these
// are the rings, in the tint, and nothing around them.
QRegion solidShape(const QPointF &centre, int index);
// The solid picture that stands for picture `index`: solid rings move on
// one picture in kSolidStep, each of them a new shape of the window, which
// the display server and the program both work through.
inline constexpr int kSolidStep = 2;
inline int solidPicture(int index)
{
    return index - index % kSolidStep;
}

// What a picture centred at `centre` covers, in whole logical pixels: the
// only part of a widget the rings' motion repaints.
QRect area(const QPointF &centre);

// Tints and scales with pictures kept (tests); dropping them all.
int keptCount();
void clear();

} // namespace kolu::ringpictures
