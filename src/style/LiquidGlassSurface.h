#pragma once

#include "style/GlassProfile.h"
#include "style/GlassTier.h"

#include <QColor>
#include <QMarginsF>
#include <QRectF>

class QPainter;

namespace kolu {

class OrlixStyle;

// Paints one glass surface on a continuous-corner rounded rectangle, back to
// front: the soft drop shadow, the material, the base fill, the tint fill,
// the diagonal sheen and the edge stroke. The whole surface is rendered once
// into a pixmap keyed by size, radius, resolved profile, tier and device
// scale (the painter's device pixel ratio times its transform's scale), so a
// repaint of an unchanged surface is a single pixmap blit; shadows are
// blurred once per size and radius.
//
// The material stands for the blur the desktop gives behind the window:
//   hudWindow          smoky dark grey   rgb(28, 28, 31)
//   popover            pale cool grey    rgb(240, 240, 244)
//   contentBackground  near white        rgb(250, 250, 250)
// at an opacity that depends on the tier (see materialColor()). Surfaces that
// blend within the window (cards over the panel) keep a light material in
// every tier, since what lies behind them is Kolu's own glass.
class LiquidGlassSurface {
public:
    // Paints `profile`, resolved for the style's theme and scheme, in `rect`
    // (logical coordinates of `painter`) with corner `radius`. The shadow
    // may reach outside `rect` by shadowMargins().
    static void paint(QPainter &painter, const QRectF &rect, qreal radius, const OrlixGlassProfile &profile);
    static void paint(QPainter &painter, const QRectF &rect, qreal radius, const OrlixGlassProfile &profile,
                      const OrlixStyle &style);

    // The same with an already resolved profile, theme-independent.
    static void paintResolved(QPainter &painter, const QRectF &rect, qreal radius, const OrlixGlassProfile &resolved,
                              GlassTier tier);

    // How far the shadow of a resolved profile reaches beyond the shape
    // (nothing when it draws no shadow).
    static QMarginsF shadowMargins(const OrlixGlassProfile &resolved, GlassTier tier);

    // Whether the resolved profile draws a shadow in `tier`: only with
    // opacity and radius above 0, and never for a window's own background
    // when nothing composites (the shadow would land on opaque pixels).
    static bool drawsShadow(const OrlixGlassProfile &resolved, GlassTier tier);

    // The material colour of a resolved profile in `tier`.
    static QColor materialColor(const OrlixGlassProfile &resolved, GlassTier tier);

    // Drops every cached surface and shadow (tests, memory pressure).
    static void clearCache();
};

} // namespace kolu
