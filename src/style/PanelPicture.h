#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace kolu {

// The raised rounded panels of the cards (tiles, badges, fields): a
// continuous-corner rounded rectangle filled with one colour and outlined
// with a hairline. Each look is rendered once into a picture of device
// pixels, keyed by size, radius, colours, line width, device scale and where
// the shape falls within a device pixel, so a repaint is one blit of the
// very pixels a direct paint gives. A painter that rotates, shears, fades or
// composites in another mode is painted on directly.
struct PanelLook {
    qreal radius = 0;
    QColor fill;
    // No outline when transparent or `lineWidth` is 0.
    QColor line;
    qreal lineWidth = 0;

    bool operator==(const PanelLook &) const = default;
};

class PanelPicture {
public:
    // Fills and outlines the rounded rectangle `shape` (logical coordinates
    // of `painter`, antialiased); the outline is centred on its edge.
    static void paint(QPainter &painter, const QRectF &shape, const PanelLook &look);

    // The pictures held now (tests).
    static int cachedPictures();
    // Drops every picture; they are rendered again when next painted.
    static void clearCache();
};

} // namespace kolu
