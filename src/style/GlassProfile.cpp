#include "style/GlassProfile.h"

#include "style/Palette.h"

#include <algorithm>

namespace kolu {

namespace {

// What sets one preset apart; material, base colour and tint are shared.
struct PresetLook {
    OrlixGlassRole role;
    GlassBlending blending;
    OrlixSystemGlassStyle style;
    bool prefersSystem;
    bool interactive;
    double density;
    double tintStrength;
    double edge;
    double edgeWidth;
    double specular;
    double saturation;
    double contrast;
    double luminosity;
    OrlixGlassShadow shadow;
};

OrlixGlassProfile preset(const PresetLook &look)
{
    // The dark look is the presets' own; resolved() replaces these anyway.
    const QColor base = paletteColor(OrlixTheme::default_, ColorScheme::dark, PaletteRole::glassBase);
    OrlixGlassProfile p;
    p.role = look.role;
    p.nativeMaterial = GlassMaterial::hudWindow;
    p.blendingMode = look.blending;
    p.systemGlassStyle = look.style;
    p.prefersSystemGlass = look.prefersSystem;
    p.isInteractive = look.interactive;
    p.baseColor = base;
    p.tint = base;
    p.glassDensity = look.density;
    p.glassOpacity = 1.0;
    p.tintStrength = look.tintStrength;
    p.edgeHighlight = look.edge;
    p.edgeWidth = look.edgeWidth;
    p.specularStrength = look.specular;
    p.saturation = look.saturation;
    p.contrast = look.contrast;
    p.luminosity = look.luminosity;
    p.noiseAmount = 0;
    p.shadow = look.shadow;
    return p;
}

} // namespace

const OrlixGlassProfile &OrlixGlassProfile::rail()
{
    static const OrlixGlassProfile p = preset({
        .role = OrlixGlassRole::rail,
        .blending = GlassBlending::behindWindow,
        .style = OrlixSystemGlassStyle::regular,
        .prefersSystem = true,
        .interactive = false,
        .density = 0.24,
        .tintStrength = 0.1,
        .edge = 0.24,
        .edgeWidth = 0.8,
        .specular = 0.12,
        .saturation = 1.08,
        .contrast = 1.01,
        .luminosity = 0.01,
        .shadow = {.opacity = 0.1, .radius = 18, .x = 0, .y = 8},
    });
    return p;
}

const OrlixGlassProfile &OrlixGlassProfile::edgeHandle()
{
    static const OrlixGlassProfile p = preset({
        .role = OrlixGlassRole::edgeHandle,
        .blending = GlassBlending::behindWindow,
        .style = OrlixSystemGlassStyle::clear,
        .prefersSystem = true,
        .interactive = true,
        .density = 0.2,
        .tintStrength = 0.08,
        .edge = 0.26,
        .edgeWidth = 0.8,
        .specular = 0.14,
        .saturation = 1.08,
        .contrast = 1.01,
        .luminosity = 0.01,
        .shadow = {.opacity = 0.08, .radius = 11, .x = 0, .y = 5},
    });
    return p;
}

const OrlixGlassProfile &OrlixGlassProfile::panel()
{
    static const OrlixGlassProfile p = preset({
        .role = OrlixGlassRole::panel,
        .blending = GlassBlending::behindWindow,
        .style = OrlixSystemGlassStyle::regular,
        .prefersSystem = true,
        .interactive = false,
        .density = 0.22,
        .tintStrength = 0.08,
        .edge = 0.22,
        .edgeWidth = 0.8,
        .specular = 0.1,
        .saturation = 1.08,
        .contrast = 1.01,
        .luminosity = 0.01,
        .shadow = {.opacity = 0.08, .radius = 18, .x = 0, .y = 10},
    });
    return p;
}

const OrlixGlassProfile &OrlixGlassProfile::card()
{
    static const OrlixGlassProfile p = preset({
        .role = OrlixGlassRole::card,
        .blending = GlassBlending::withinWindow,
        .style = OrlixSystemGlassStyle::regular,
        .prefersSystem = false,
        .interactive = false,
        .density = 0.18,
        .tintStrength = 0.05,
        .edge = 0.14,
        .edgeWidth = 0.7,
        .specular = 0.06,
        .saturation = 1.02,
        .contrast = 1.02,
        .luminosity = 0,
        .shadow = {.opacity = 0, .radius = 0, .x = 0, .y = 0},
    });
    return p;
}

OrlixGlassProfile OrlixGlassProfile::control(bool interactive)
{
    OrlixGlassProfile p = card();
    p.role = OrlixGlassRole::control;
    p.blendingMode = GlassBlending::behindWindow;
    p.isInteractive = interactive;
    return p;
}

OrlixGlassProfile OrlixGlassProfile::tintedControl(const QColor &base, const QColor &tint,
                                                   const OrlixGlassShadow &shadow)
{
    OrlixGlassProfile p = control(true);
    p.nativeMaterial = GlassMaterial::hudWindow;
    p.blendingMode = GlassBlending::behindWindow;
    p.systemGlassStyle = OrlixSystemGlassStyle::regular;
    p.prefersSystemGlass = true;
    p.baseColor = base;
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

OrlixGlassProfile OrlixGlassProfile::resolved(OrlixTheme theme, ColorScheme scheme) const
{
    OrlixGlassProfile p = *this;
    const QColor glassBase = paletteColor(theme, scheme, PaletteRole::glassBase);

    if (theme == OrlixTheme::activeDark) {
        p.nativeMaterial = GlassMaterial::hudWindow;
        p.prefersSystemGlass = false;
        p.baseColor = glassBase;
        p.saturation = 1.08;
        p.contrast = 1.08;
        p.luminosity = -0.006;
        const auto set = [&p](double density, const QColor &tint, double tintStrength, double edge, double specular) {
            p.glassDensity = density;
            p.tint = tint;
            p.tintStrength = tintStrength;
            p.edgeHighlight = edge;
            p.specularStrength = specular;
        };
        switch (role) {
        case OrlixGlassRole::rail:
            set(0.9, glassBase, 0.16, 0.18, 0.05);
            p.shadow = {0.24, 24, 0, 10};
            break;
        case OrlixGlassRole::edgeHandle:
            set(0.88, glassBase, 0.14, 0.18, 0.05);
            p.shadow = {0.18, 16, 0, 6};
            break;
        case OrlixGlassRole::panel:
            set(0.92, glassBase, 0.18, 0.16, 0.04);
            p.shadow = {0.14, 18, 0, 10};
            break;
        case OrlixGlassRole::card:
            set(0.86, paletteColor(theme, scheme, PaletteRole::surfaceRaised), 0.16, 0.16, 0.04);
            p.shadow.opacity = 0;
            break;
        case OrlixGlassRole::control:
            set(isInteractive ? 0.62 : 0.54, glassBase, std::max(tintStrength, 0.2), 0.22, 0.07);
            p.shadow.opacity = std::clamp(shadow.opacity, 0.06, 0.14);
            break;
        }
        return p;
    }

    p.baseColor = glassBase;
    if (scheme == ColorScheme::dark) {
        if (role == OrlixGlassRole::rail || role == OrlixGlassRole::edgeHandle || role == OrlixGlassRole::panel)
            p.tint = glassBase;
        return p;
    }

    p.contrast = 1.0;
    p.luminosity = 0;
    const auto set = [&p](GlassMaterial material, double density, double edge, double specular, double saturation) {
        p.nativeMaterial = material;
        p.glassDensity = density;
        p.edgeHighlight = edge;
        p.specularStrength = specular;
        p.saturation = saturation;
    };
    switch (role) {
    case OrlixGlassRole::rail:
        set(GlassMaterial::popover, 0.18, 0.34, 0.1, 1.03);
        p.tint = glassBase;
        p.tintStrength = 0.28;
        p.shadow.opacity = 0.1;
        break;
    case OrlixGlassRole::edgeHandle:
        set(GlassMaterial::popover, 0.16, 0.36, 0.1, 1.03);
        p.tint = glassBase;
        p.tintStrength = 0.24;
        p.shadow.opacity = 0.08;
        break;
    case OrlixGlassRole::panel:
        set(GlassMaterial::popover, 0.2, 0.34, 0.09, 1.03);
        p.tint = glassBase;
        p.tintStrength = 0.3;
        p.shadow = {0.1, 18, 0, 10};
        break;
    case OrlixGlassRole::card:
        set(GlassMaterial::contentBackground, 0.2, 0.2, 0.05, 1.0);
        p.tint = glassBase;
        p.tintStrength = 0.18;
        break;
    case OrlixGlassRole::control:
        set(GlassMaterial::popover, 0.16, 0.28, 0.08, 1.02);
        p.tintStrength = std::max(tintStrength, 0.1);
        p.shadow.opacity = std::min(shadow.opacity, 0.05);
        break;
    }
    return p;
}

} // namespace kolu
