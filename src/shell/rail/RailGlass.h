#pragma once

#include "style/GlassProfile.h"
#include "style/Opacity.h"

#include <QColor>

class QPainter;
class QRectF;

namespace kolu {

// The control-role glass of the rail's small surfaces (handle drop look,
// clipboard pulse, alert tiles, notifications): a light tinted glass whose
// only difference between uses is its shadow.
OrlixGlassProfile railControlGlass(const QColor &tint, const OrlixGlassShadow &shadow);
// The same glass under the selected tool strip button and under the file
// drop looks of the handle and the tray button.
OrlixGlassProfile railSelectionGlass(const QColor &tint);

// Paints `profile` on a continuous rounded rectangle, then strokes the same
// shape in `stroke` (already carrying its opacity).
void paintRailGlass(QPainter &painter, const QRectF &rect, qreal radius, const OrlixGlassProfile &profile,
                    const QColor &stroke, qreal strokeWidth);

} // namespace kolu
