#include "style/Palette.h"

#include <array>

namespace kolu {

namespace {

struct Rgba {
    float r, g, b, a;
};

// Columns: default light, default dark, flatOlive light, flatOlive dark,
// activeDark, heroLight.
using Row = std::array<Rgba, 6>;
// clang-format off
constexpr std::array<Row, kPaletteRoleCount> kPalette{{
    /* appChrome */ {{{0.965f, 0.96f, 0.945f, 0.42f}, {0.135f, 0.128f, 0.114f, 0.24f}, {0.955f, 0.93f, 0.865f, 0.96f}, {0.23f, 0.212f, 0.172f, 0.88f}, {0.035f, 0.035f, 0.034f, 0.99f}, {0.942f, 0.948f, 0.958f, 0.98f}}},
    /* glassBase */ {{{1, 1, 1, 0.82f}, {0.115f, 0.108f, 0.096f, 0.72f}, {0.99f, 0.974f, 0.925f, 0.98f}, {0.31f, 0.288f, 0.224f, 0.88f}, {0.075f, 0.076f, 0.074f, 0.98f}, {0.995f, 0.995f, 0.99f, 0.96f}}},
    /* surface */ {{{1, 1, 1, 0.28f}, {1, 1, 1, 0.065f}, {0.9f, 0.872f, 0.798f, 0.7f}, {0.39f, 0.358f, 0.27f, 0.46f}, {1, 1, 1, 0.135f}, {1, 1, 1, 0.68f}}},
    /* surfaceRaised */ {{{1, 1, 1, 0.46f}, {1, 1, 1, 0.105f}, {0.998f, 0.985f, 0.948f, 0.96f}, {0.46f, 0.42f, 0.32f, 0.54f}, {1, 1, 1, 0.22f}, {1, 1, 1, 0.92f}}},
    /* line */ {{{0, 0, 0, 0.115f}, {1, 1, 1, 0.105f}, {0.23f, 0.2f, 0.13f, 0.145f}, {0.93f, 0.86f, 0.66f, 0.14f}, {1, 1, 1, 0.185f}, {0.08f, 0.09f, 0.11f, 0.105f}}},
    /* text */ {{{0.105f, 0.102f, 0.096f, 1}, {0.94f, 0.932f, 0.915f, 1}, {0.035f, 0.033f, 0.03f, 1}, {0.975f, 0.95f, 0.885f, 1}, {0.98f, 0.98f, 0.97f, 1}, {0.105f, 0.112f, 0.128f, 1}}},
    /* secondaryText */ {{{0.38f, 0.365f, 0.345f, 1}, {0.68f, 0.662f, 0.64f, 1}, {0.355f, 0.335f, 0.292f, 1}, {0.815f, 0.765f, 0.66f, 1}, {0.705f, 0.705f, 0.69f, 1}, {0.348f, 0.361f, 0.392f, 1}}},
    /* mutedText */ {{{0.39f, 0.374f, 0.35f, 1}, {0.583f, 0.571f, 0.555f, 1}, {0.393f, 0.37f, 0.317f, 1}, {0.768f, 0.733f, 0.662f, 1}, {0.594f, 0.594f, 0.581f, 1}, {0.35f, 0.363f, 0.395f, 1}}},
    /* iconPrimary */ {{{0.09f, 0.088f, 0.084f, 0.86f}, {1, 1, 1, 0.94f}, {0.05f, 0.046f, 0.038f, 0.94f}, {0.97f, 0.94f, 0.865f, 0.96f}, {0.98f, 0.98f, 0.97f, 0.96f}, {0.155f, 0.165f, 0.188f, 0.86f}}},
    /* iconSecondary */ {{{0.09f, 0.088f, 0.084f, 0.54f}, {1, 1, 1, 0.62f}, {0.245f, 0.225f, 0.165f, 0.66f}, {0.9f, 0.83f, 0.68f, 0.7f}, {1, 1, 1, 0.66f}, {0.26f, 0.28f, 0.315f, 0.62f}}},
    /* hairline */ {{{0, 0, 0, 0.16f}, {1, 1, 1, 0.18f}, {0.24f, 0.21f, 0.125f, 0.22f}, {0.94f, 0.85f, 0.62f, 0.2f}, {1, 1, 1, 0.18f}, {0.09f, 0.1f, 0.125f, 0.135f}}},
    /* innerShade */ {{{1, 1, 1, 0.5f}, {0, 0, 0, 0.22f}, {0.875f, 0.845f, 0.75f, 0.42f}, {0, 0, 0, 0.2f}, {0, 0, 0, 0.24f}, {0.94f, 0.948f, 0.958f, 0.72f}}},
}};
// clang-format on

int column(OrlixTheme theme, ColorScheme scheme)
{
    const int dark = scheme == ColorScheme::dark ? 1 : 0;
    switch (theme) {
    case OrlixTheme::default_: return dark;
    case OrlixTheme::flatOlive: return 2 + dark;
    case OrlixTheme::activeDark: return 4;
    case OrlixTheme::heroLight: return 5;
    }
    return dark;
}

} // namespace

QColor paletteColor(OrlixTheme theme, ColorScheme scheme, PaletteRole role)
{
    const Rgba &c = kPalette[static_cast<std::size_t>(role)][static_cast<std::size_t>(column(theme, scheme))];
    return QColor::fromRgbF(c.r, c.g, c.b, c.a);
}

} // namespace kolu
