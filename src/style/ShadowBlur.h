#pragma once

#include <QImage>
#include <QSizeF>

namespace kolu {

// How far a shadow of blur `radius` reaches beyond its shape (3 sigma, with
// sigma = radius / 2), in the same units.
qreal shadowExtent(qreal radius);

// The continuous-corner rounded rectangle of `size` and corner `cornerRadius`,
// filled black and blurred with `blurRadius`, padded by shadowExtent() on
// every side; device pixel ratio `scale`. Blurred once per size, radii and
// scale, then served from a cache.
QImage blurredShapeMask(const QSizeF &size, qreal cornerRadius, qreal blurRadius, qreal scale);

void clearShadowCache();

// Three box blurs in a row approximating a Gaussian of `sigma` pixels on an
// 8-bit alpha image, in place.
void gaussianBlurAlpha(QImage &alpha8, qreal sigma);

} // namespace kolu
