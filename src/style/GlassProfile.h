#pragma once

#include "style/Theme.h"

#include <QColor>

namespace kolu {

enum class OrlixGlassRole { rail, edgeHandle, panel, card, control };

// The system glass variant a profile would ask for. Linux has no system
// glass; the value is carried so that profiles stay comparable.
enum class OrlixSystemGlassStyle { regular, clear };

// The material under a surface's fills (see LiquidGlassSurface for the
// colours each stands for).
enum class GlassMaterial { hudWindow, popover, contentBackground };

// behindWindow blends with the desktop behind the window; withinWindow with
// the window's own content below the surface (a card over the panel).
enum class GlassBlending { behindWindow, withinWindow };

struct OrlixGlassShadow {
    double opacity = 0;
    double radius = 0;
    double x = 0;
    double y = 0;
    friend bool operator==(const OrlixGlassShadow &, const OrlixGlassShadow &) = default;
};

// How one glass surface looks. The presets are the dark-appearance look;
// resolved() adapts a profile to the theme and scheme before drawing.
struct OrlixGlassProfile {
    OrlixGlassRole role = OrlixGlassRole::control;
    GlassMaterial nativeMaterial = GlassMaterial::hudWindow;
    GlassBlending blendingMode = GlassBlending::behindWindow;
    OrlixSystemGlassStyle systemGlassStyle = OrlixSystemGlassStyle::regular;
    bool prefersSystemGlass = false;
    bool isInteractive = false;
    QColor baseColor;
    double glassDensity = 0; // opacity of the baseColor fill
    double glassOpacity = 1; // opacity of the whole surface
    QColor tint;
    double tintStrength = 0;     // opacity of the tint fill
    double edgeHighlight = 0;    // opacity of the light edge stroke
    double edgeWidth = 0.8;      // points
    double specularStrength = 0; // strength of the diagonal sheen
    double saturation = 1;       // 1 = unchanged
    double contrast = 1;         // 1 = unchanged
    double luminosity = 0;       // 0 = unchanged
    double noiseAmount = 0;      // carried, never drawn
    OrlixGlassShadow shadow;

    friend bool operator==(const OrlixGlassProfile &, const OrlixGlassProfile &) = default;

    // Tool strips of the expanded rails.
    static const OrlixGlassProfile &rail();
    // The edge handle shown while the rail is hidden.
    static const OrlixGlassProfile &edgeHandle();
    // The module detail panel.
    static const OrlixGlassProfile &panel();
    // Module cards, settings pages, onboarding cards.
    static const OrlixGlassProfile &card();
    // A starting point for control-role surfaces (there is no preset): the
    // card preset's look with role control. Views adjust it, then resolve.
    static OrlixGlassProfile control(bool interactive = false);

    // The light tinted glass of small floating controls (the rail's handle,
    // pulse, alert tiles and notifications, the settings logo tile) over
    // `base`; uses differ only in tint and shadow.
    static OrlixGlassProfile tintedControl(const QColor &base, const QColor &tint, const OrlixGlassShadow &shadow);

    // A copy adapted to `theme` and `scheme`: activeDark has its own dense
    // look whatever the scheme; other themes take their light look in light
    // scheme and keep the preset look in dark. glassBase and surfaceRaised
    // come from the palette of `theme`. Resolving twice equals resolving once.
    OrlixGlassProfile resolved(OrlixTheme theme, ColorScheme scheme) const;
};

} // namespace kolu
