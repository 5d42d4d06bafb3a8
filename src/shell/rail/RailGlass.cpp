#include "shell/rail/RailGlass.h"

#include "style/ContinuousCorners.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"

#include <QPainter>
#include <QPen>

namespace kolu {

OrlixGlassProfile railControlGlass(const QColor &tint, const OrlixGlassShadow &shadow)
{
    return OrlixGlassProfile::tintedControl(OrlixStyle::current().glassBase(), tint, shadow);
}

OrlixGlassProfile railSelectionGlass(const QColor &tint)
{
    return railControlGlass(tint, {0.08, 9, 0, 5});
}

void paintRailGlass(QPainter &painter, const QRectF &rect, qreal radius, const OrlixGlassProfile &profile,
                    const QColor &stroke, qreal strokeWidth)
{
    LiquidGlassSurface::paint(painter, rect, radius, profile);
    if (!stroke.isValid() || strokeWidth <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(stroke, strokeWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = strokeWidth / 2;
    painter.drawPath(continuousRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius - inset));
    painter.restore();
}

} // namespace kolu
