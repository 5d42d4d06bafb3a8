#include "cards/links/BrandIconColor.h"

#include "style/Palette.h"

#include <algorithm>
#include <cmath>

namespace kolu::linkcard {

namespace {

// The tile's surface is drawn at this share of its colour's opacity, the
// brand icon's back layer at this opacity.
constexpr double kTileOpacity = 0.44, kBackLayerOpacity = 0.12;
// Halvings of the shading searched: finer than a colour channel step.
constexpr int kShadeSteps = 12;

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor &color)
{
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

// `over` at `opacity` on the opaque `under`.
QColor composite(const QColor &under, const QColor &over, double opacity)
{
    const auto mix = [opacity](float a, float b) { return float(a + (b - a) * opacity); };
    return QColor::fromRgbF(mix(under.redF(), over.redF()), mix(under.greenF(), over.greenF()),
                            mix(under.blueF(), over.blueF()));
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor brandIconBackdrop(const QColor &color, OrlixTheme theme, ColorScheme scheme)
{
    // A light card's glass as its own colour; a dark card's over a mid-grey
    // desktop, which see-through glass shows lighter than its own colour
    // (as text on a dark card is measured).
    const QColor base = paletteColor(theme, scheme, PaletteRole::glassBase);
    const QColor below = scheme == ColorScheme::dark ? QColor(128, 128, 128) : base;
    const QColor glass = composite(below, base, base.alphaF());
    const QColor raised = paletteColor(theme, scheme, PaletteRole::surfaceRaised);
    const QColor tile = composite(glass, raised, raised.alphaF() * kTileOpacity);
    return composite(tile, color, kBackLayerOpacity);
}

QColor brandIconColor(const QColor &brand, OrlixTheme theme, ColorScheme scheme)
{
    const QColor opaque = QColor::fromRgbF(brand.redF(), brand.greenF(), brand.blueF());
    const QColor backdrop = brandIconBackdrop(opaque, theme, scheme);
    const QColor towards =
        contrastRatio(Qt::white, backdrop) > contrastRatio(Qt::black, backdrop) ? QColor(Qt::white) : QColor(Qt::black);
    const auto reads = [&](const QColor &shade) {
        return contrastRatio(shade, brandIconBackdrop(shade, theme, scheme)) >= brandIconContrastTarget;
    };
    if (reads(opaque))
        return opaque;
    const QColor full = composite(opaque, towards, 1);
    if (!reads(full))
        return full;
    // The least shading that reaches the target: further only washes the
    // brand out.
    double short_ = 0, enough = 1;
    for (int step = 0; step < kShadeSteps; ++step) {
        const double share = (short_ + enough) / 2;
        (reads(composite(opaque, towards, share)) ? enough : short_) = share;
    }
    return composite(opaque, towards, enough);
}

} // namespace kolu::linkcard
