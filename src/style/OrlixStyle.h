#pragma once

#include "model/Enums.h"
#include "style/GlassTier.h"
#include "style/Palette.h"
#include "style/ReadableInk.h"
#include "style/Theme.h"

#include <QColor>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

namespace kolu {

class UserDefaults;
class SystemColorScheme;

// The one style object: resolves the current theme, appearance mode and hero
// colour from the defaults (SettingsKey::orlixTheme, orlixAppearanceMode,
// orlixHeroColorHex) and the system's light/dark scheme, and hands out the
// palette, module tints and button colours for them. It only reads the
// defaults; unusable stored values fall back without being rewritten.
//
// Access: the application creates one OrlixStyle and keeps it for its life;
// views reach it through OrlixStyle::current() (the most recently created
// live instance). Before any exists, current() is a built-in style with
// nothing stored (default theme, light scheme), so widgets can be drawn in
// isolation. Create the application's style before any view: kit widgets
// connect to current().changed() when they are built, and repaint on it.
class OrlixStyle : public QObject {
    Q_OBJECT
public:
    // `system` may be null: the scheme is then light until setSystemScheme().
    explicit OrlixStyle(UserDefaults &defaults, SystemColorScheme *system = nullptr, QObject *parent = nullptr);
    ~OrlixStyle() override;

    static OrlixStyle &current();

    OrlixTheme theme() const { return m_theme; }
    // What the theme and mode ask of the root views; nothing means "follow
    // the system".
    std::optional<ColorScheme> preferredColorScheme() const;
    // The scheme everything is drawn in.
    ColorScheme colorScheme() const;
    ColorScheme systemScheme() const;
    // Stands in for the system's scheme when no SystemColorScheme is given
    // (tests, the gallery).
    void setSystemScheme(ColorScheme scheme);

    QColor heroColor() const { return m_hero; }
    double heroColorLuminance() const;

    QColor color(PaletteRole role) const;
    QColor appChrome() const { return color(PaletteRole::appChrome); }
    QColor glassBase() const { return color(PaletteRole::glassBase); }
    QColor surface() const { return color(PaletteRole::surface); }
    QColor surfaceRaised() const { return color(PaletteRole::surfaceRaised); }
    QColor line() const { return color(PaletteRole::line); }
    QColor text() const { return color(PaletteRole::text); }
    QColor secondaryText() const { return color(PaletteRole::secondaryText); }
    QColor mutedText() const { return color(PaletteRole::mutedText); }
    QColor iconPrimary() const { return color(PaletteRole::iconPrimary); }
    QColor iconSecondary() const { return color(PaletteRole::iconSecondary); }
    QColor hairline() const { return color(PaletteRole::hairline); }
    QColor innerShade() const { return color(PaletteRole::innerShade); }

    // A module's accent colour under the current theme.
    QColor tint(RailModule module) const;

    // `ink`, a colour made for fills and tints, as text or a symbol on the
    // current scheme's surfaces: where it would not reach `floor`
    // (kBodyTextContrast for text, kLargeInkContrast for large text, symbols
    // and control boundaries) against referenceSurface(), a shade of its hue
    // that does (darker in light appearance, lighter in dark).
    QColor readable(const QColor &ink, double floor = kBodyTextContrast) const;
    // The colour a symbol, flag or mark in `ink` is drawn in: it reaches
    // kLargeInkContrast against the surface under it, the reference surface
    // unless it sits on `fill` (a button's, a badge's), which counts as it
    // lands there. Fills, tints and glows never go through this.
    QColor symbolInk(const QColor &ink, const QColor &fill = QColor()) const;
    // `ink` on `fill` (a badge's, a button's, maybe see-through) reaching
    // `floor` wherever the fill lands on a card of the current scheme.
    QColor readableOnFill(const QColor &ink, const QColor &fill, double floor = kBodyTextContrast) const;
    // The card surface ink is measured against: in light appearance the
    // darkest one a card draws, in dark appearance a row on its glass over
    // a mid-grey desktop.
    QColor referenceSurface() const;
    // The darkest surface text sits on in light appearance: a row of a card
    // over light glass over a dark desktop picture.
    static QColor lightReferenceSurface();

    // The primary button's fill (one per theme; the hero colour under
    // heroLight) and label (black, or under heroLight white below luminance
    // 0.56 and near-black from there).
    QColor primaryButtonFill() const;
    QColor primaryButtonLabel() const;

    // How glass is painted on this desktop; the shell sets it from the
    // compositor at launch and when the compositor comes or goes.
    GlassTier glassTier() const { return m_tier; }
    void setGlassTier(GlassTier tier);

Q_SIGNALS:
    // Theme, mode, hero colour, system scheme or glass tier changed.
    void changed();

private:
    void reload();

    UserDefaults &m_defaults;
    QPointer<SystemColorScheme> m_system;
    ColorScheme m_fallbackScheme = ColorScheme::light;
    OrlixTheme m_theme = OrlixTheme::default_;
    std::optional<QString> m_mode;
    QColor m_hero;
    GlassTier m_tier = GlassTier::opaque;
};

} // namespace kolu
