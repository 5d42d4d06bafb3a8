#include "style/GlassProfile.h"
#include "style/Palette.h"

#include <gtest/gtest.h>

using namespace kolu;

namespace {

constexpr OrlixTheme kThemes[] = {OrlixTheme::default_, OrlixTheme::flatOlive, OrlixTheme::activeDark,
                                  OrlixTheme::heroLight};
constexpr ColorScheme kSchemes[] = {ColorScheme::light, ColorScheme::dark};

} // namespace

TEST(GlassProfile, ResolvingIsIdempotentAndKeepsTheFixedFields)
{
    std::vector<OrlixGlassProfile> profiles{OrlixGlassProfile::rail(),         OrlixGlassProfile::edgeHandle(),
                                            OrlixGlassProfile::panel(),        OrlixGlassProfile::card(),
                                            OrlixGlassProfile::control(false), OrlixGlassProfile::control(true)};
    profiles[4].shadow = profiles[5].shadow = {0.3, 12, 0, 4};
    for (const OrlixGlassProfile &p : profiles) {
        for (OrlixTheme theme : kThemes) {
            for (ColorScheme scheme : kSchemes) {
                const OrlixGlassProfile once = p.resolved(theme, scheme);
                EXPECT_EQ(once.resolved(theme, scheme), once) << int(p.role) << " " << int(theme) << int(scheme);
                EXPECT_EQ(once.role, p.role);
                EXPECT_EQ(once.blendingMode, p.blendingMode);
                EXPECT_EQ(once.edgeWidth, p.edgeWidth);
                EXPECT_EQ(once.glassOpacity, p.glassOpacity);
                EXPECT_EQ(once.baseColor, paletteColor(theme, scheme, PaletteRole::glassBase));
                if (theme == OrlixTheme::activeDark) {
                    EXPECT_FALSE(once.prefersSystemGlass);
                }
            }
        }
    }
}

TEST(GlassProfile, RoleRulesAtTheirEdges)
{
    // The card never draws a shadow; under activeDark not even a custom one.
    OrlixGlassProfile card = OrlixGlassProfile::card();
    EXPECT_EQ(card.shadow.opacity, 0);
    card.shadow = {0.4, 10, 0, 2};
    const OrlixGlassProfile darkCard = card.resolved(OrlixTheme::activeDark, ColorScheme::light);
    EXPECT_EQ(darkCard.shadow, (OrlixGlassShadow{0, 10, 0, 2}));
    EXPECT_EQ(darkCard.tint, paletteColor(OrlixTheme::activeDark, ColorScheme::light, PaletteRole::surfaceRaised));

    OrlixGlassProfile control = OrlixGlassProfile::control();
    control.tintStrength = 0.05;
    control.shadow.opacity = 0.3;
    const OrlixGlassProfile light = control.resolved(OrlixTheme::default_, ColorScheme::light);
    EXPECT_DOUBLE_EQ(light.tintStrength, 0.1);
    EXPECT_DOUBLE_EQ(light.shadow.opacity, 0.05);
    EXPECT_EQ(light.nativeMaterial, GlassMaterial::popover);
    EXPECT_EQ(light.tint, control.tint) << "a light control keeps its own tint";

    for (const auto &[given, expected] : {std::pair{0.01, 0.06}, std::pair{0.5, 0.14}, std::pair{0.1, 0.1}}) {
        control.shadow.opacity = given;
        EXPECT_DOUBLE_EQ(control.resolved(OrlixTheme::activeDark, ColorScheme::dark).shadow.opacity, expected);
    }

    // Dark appearance keeps the preset look apart from the colours.
    const OrlixGlassProfile panelDark = OrlixGlassProfile::panel().resolved(OrlixTheme::default_, ColorScheme::dark);
    EXPECT_EQ(panelDark.glassDensity, OrlixGlassProfile::panel().glassDensity);
    EXPECT_EQ(panelDark.shadow, OrlixGlassProfile::panel().shadow);
}
