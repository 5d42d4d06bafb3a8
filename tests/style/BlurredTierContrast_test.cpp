#include "Wallpaper.h"
#include "model/SettingsKeys.h"
#include "style/HeroColor.h"
#include "style/LiquidGlassSurface.h"
#include "style/ModuleTint.h"
#include "style/Palette.h"

#include "ColorMeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using namespace kolu;
using namespace kolu::test;

namespace {

// The darkest spot a blurring compositor puts behind the glass over the
// gallery's wallpaper: the wallpaper blurred as the gallery blurs it.
QColor darkestBlurredWallpaper()
{
    const QImage wallpaper = gallery::makeWallpaper(QSize(1600, 1200) * 2);
    const QImage soft = wallpaper.scaled(wallpaper.size() / 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .scaled(wallpaper.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QColor darkest = Qt::white;
    for (int y = 0; y < soft.height(); y += 4)
        for (int x = 0; x < soft.width(); x += 4) {
            const QColor c = soft.pixelColor(x, y);
            if (relativeLuminance(c) < relativeLuminance(darkest))
                darkest = c;
        }
    return darkest;
}

// The glass's flat middle over `below`, in the blurred tier.
QColor glassOver(const QColor &below, const OrlixGlassProfile &resolved)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(below);
    QPainter painter(&image);
    LiquidGlassSurface::paintResolved(painter, QRectF(image.rect()), 8, resolved, GlassTier::blurred);
    painter.end();
    return image.pixelColor(32, 32);
}

} // namespace

TEST(BlurredTier, LightLooksKeepBodyTextReadableOverTheWallpaper)
{
    const QColor below = darkestBlurredWallpaper();
    const QColor hero(settingsKeyRow(SettingsKey::orlixHeroColorHex).defaultValue.toString());
    // The secondary lines (event titles, reminder titles) reach 4.5:1; under
    // heroLight the hero blue tinting the small controls keeps them lower
    // (4.1:1 even on an opaque material).
    for (const auto &[theme, secondaryFloor] :
         {std::pair{OrlixTheme::default_, 4.5}, std::pair{OrlixTheme::flatOlive, 4.5},
          std::pair{OrlixTheme::heroLight, 3.4}}) {
        const QColor base = paletteColor(theme, ColorScheme::light, PaletteRole::glassBase);
        std::vector<std::pair<const char *, OrlixGlassProfile>> surfaces{
            {"rail", OrlixGlassProfile::rail()},
            {"edgeHandle", OrlixGlassProfile::edgeHandle()},
            {"panel", OrlixGlassProfile::panel()}};
        // The notifications, pulse and alert tiles, in every module's tint.
        for (int m = 0; m < 10; ++m)
            surfaces.push_back({"control", OrlixGlassProfile::tintedControl(
                                               base, moduleTint(RailModule(m), theme, hero), {0.1, 14, 0, 7})});
        for (const auto &[name, profile] : surfaces) {
            const QColor glass = glassOver(below, profile.resolved(theme, ColorScheme::light));
            const auto ink = [&](PaletteRole role) { return paletteColor(theme, ColorScheme::light, role); };
            EXPECT_GE(contrastRatio(glass, ink(PaletteRole::text)), 4.5) << int(theme) << " " << name;
            EXPECT_GE(contrastRatio(glass, ink(PaletteRole::secondaryText)), secondaryFloor)
                << int(theme) << " " << name;
        }
    }
}
