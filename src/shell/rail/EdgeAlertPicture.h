#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>

#include <functional>

class QPainter;

namespace kolu {

// The painting of one of an alert's still parts (its tile, its banner),
// kept as a picture at the device scale it was drawn at. The rings repaint
// their box about 29 times a second, and what lies in it is painted again
// each time: a kept picture is one blend row by row on the painting thread,
// where its glass strokes and fills would be many spans, which the raster
// engine blends on its pool of threads.
class EdgeAlertPicture {
public:
    // Draws what `paint` paints over `size` from the painter's origin,
    // through the kept picture, inside `region` (what the paint event asks
    // for); `paint` runs again when the size or the device scale changed,
    // or after drop(). Under a rotation or an uneven scale it paints
    // directly.
    void draw(QPainter &painter, const QRegion &region, const QSize &size,
              const std::function<void(QPainter &)> &paint);
    // What it shows changed: the next draw paints it again.
    void drop() { m_picture = QImage(); }
    bool isKept() const { return !m_picture.isNull(); }

private:
    QImage m_picture;
    QSize m_size;
};

} // namespace kolu
