#pragma once

#include "style/Theme.h"

#include <QColor>

namespace kolu {

// The twelve colour roles every view draws with.
//   appChrome      window background of the settings and onboarding windows
//   glassBase      base and tint of glass surfaces
//   surface        rows, strips and composers inside cards; settings sections
//   surfaceRaised  controls, pills and secondary buttons
//   line           separators
//   text, secondaryText, mutedText   three text levels
//   iconPrimary, iconSecondary       two icon levels
//   hairline       thin borders of cards and controls
//   innerShade     fill of text fields and text areas
enum class PaletteRole {
    appChrome,
    glassBase,
    surface,
    surfaceRaised,
    line,
    text,
    secondaryText,
    mutedText,
    iconPrimary,
    iconSecondary,
    hairline,
    innerShade,
};
inline constexpr int kPaletteRoleCount = 12;

// The role's colour under `theme` in `scheme`. activeDark and heroLight have
// one colour for both schemes.
QColor paletteColor(OrlixTheme theme, ColorScheme scheme, PaletteRole role);

} // namespace kolu
