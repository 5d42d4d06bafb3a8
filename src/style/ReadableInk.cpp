#include "style/ReadableInk.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kolu {

namespace {

double luminance(const QColor &c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

double contrastBetween(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

constexpr double kMendMargin = 0.06;

// The first shade of `hsl`'s hue, walking its lightness towards black
// (`darken`) or white, that reaches `floor` on `surface`; nothing when even
// the end of the walk does not.
std::optional<QColor> walk(const QColor &hsl, const QColor &surface, double floor, bool darken)
{
    const float hue = hsl.hslHueF(), saturation = hsl.hslSaturationF(), start = hsl.lightnessF();
    for (int step = 1; step <= 100; ++step) {
        const float lightness = darken ? start * float(100 - step) / 100 : start + (1 - start) * float(step) / 100;
        // Measured as it is drawn, eight bits a channel.
        const QColor candidate = QColor(QColor::fromHslF(hue, saturation, lightness).toRgb().rgb());
        // A little past the floor, so that a glyph's smoothing or a
        // rounding on the way to the screen cannot take it back under.
        if (contrastBetween(candidate, surface) >= floor + kMendMargin)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

QColor readableOn(const QColor &ink, const QColor &exactSurface, double floor)
{
    // The surface as it is drawn, eight bits a channel.
    const QColor surface(exactSurface.rgb());
    // A see-through ink is seen as it lands on the surface.
    const QColor opaque = composited(ink, surface);
    if (contrastBetween(opaque, surface) >= floor)
        return ink;
    // Away from the surface's lightness first (darker on a light surface),
    // keeping hue and saturation; the other way when that cannot reach the
    // floor (a mid-tone fill); else whichever of black and white reads more.
    const bool darken = luminance(surface) > 0.18;
    const QColor hsl = opaque.toHsl();
    if (const auto shade = walk(hsl, surface, floor, darken))
        return *shade;
    if (const auto shade = walk(hsl, surface, floor, !darken))
        return *shade;
    const QColor black(Qt::black), white(Qt::white);
    return contrastBetween(black, surface) >= contrastBetween(white, surface) ? black : white;
}

QColor composited(const QColor &over, const QColor &below)
{
    const double a = over.alphaF();
    return QColor::fromRgbF(float(over.redF() * a + below.redF() * (1 - a)),
                            float(over.greenF() * a + below.greenF() * (1 - a)),
                            float(over.blueF() * a + below.blueF() * (1 - a)));
}

} // namespace kolu
