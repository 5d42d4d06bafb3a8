#include "shell/rail/RailGlass.h"

#include "style/ContinuousCorners.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"

#include <QPainter>
#include <QPen>

namespace kolu {

OrlixGlassProfile railControlGlass(const QColor &tint, const OrlixGlassShadow &shadow)
{
    OrlixGlassProfile p = OrlixGlassProfile::control(true);
    p.nativeMaterial = GlassMaterial::hudWindow;
    p.blendingMode = GlassBlending::behindWindow;
    p.systemGlassStyle = OrlixSystemGlassStyle::regular;
    p.prefersSystemGlass = true;
    p.baseColor = OrlixStyle::current().glassBase();
    p.glassDensity = 0.16;
    p.glassOpacity = 1.0;
    p.tint = tint;
    p.tintStrength = 0.12;
    p.edgeHighlight = 0.24;
    p.edgeWidth = 0.8;
    p.specularStrength = 0.14;
    p.saturation = 1.04;
    p.contrast = 1.01;
    p.luminosity = 0.006;
    p.noiseAmount = 0;
    p.shadow = shadow;
    return p;
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

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

} // namespace kolu
