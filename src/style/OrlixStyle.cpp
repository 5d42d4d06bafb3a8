#include "style/OrlixStyle.h"

#include "model/UserDefaults.h"
#include "style/HeroColor.h"
#include "style/ModuleTint.h"
#include "style/SystemColorScheme.h"

#include <QList>

namespace kolu {

namespace {

QList<OrlixStyle *> &liveStyles()
{
    static QList<OrlixStyle *> styles;
    return styles;
}

} // namespace

OrlixStyle::OrlixStyle(UserDefaults &defaults, SystemColorScheme *system, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_system(system)
{
    reload();
    connect(&m_defaults, &UserDefaults::changed, this, [this](SettingsKey key) {
        if (key == SettingsKey::orlixTheme || key == SettingsKey::orlixAppearanceMode
            || key == SettingsKey::orlixHeroColorHex) {
            reload();
            Q_EMIT changed();
        }
    });
    if (m_system)
        connect(m_system, &SystemColorScheme::changed, this, &OrlixStyle::changed);
    liveStyles().append(this);
}

OrlixStyle::~OrlixStyle()
{
    liveStyles().removeOne(this);
}

OrlixStyle &OrlixStyle::current()
{
    if (!liveStyles().isEmpty())
        return *liveStyles().constLast();
    // Nothing stored and nothing written: an empty path never loads or saves.
    static UserDefaults emptyDefaults{QString()};
    static OrlixStyle builtIn(emptyDefaults);
    liveStyles().removeOne(&builtIn);
    return builtIn;
}

void OrlixStyle::reload()
{
    m_theme = themeFromStored(m_defaults.string(SettingsKey::orlixTheme));
    m_mode = m_defaults.string(SettingsKey::orlixAppearanceMode);
    m_hero = heroColorFromStored(m_defaults.string(SettingsKey::orlixHeroColorHex));
}

std::optional<ColorScheme> OrlixStyle::preferredColorScheme() const
{
    return kolu::preferredColorScheme(m_theme, m_mode);
}

ColorScheme OrlixStyle::systemScheme() const
{
    return m_system ? m_system->scheme() : m_fallbackScheme;
}

void OrlixStyle::setSystemScheme(ColorScheme scheme)
{
    if (m_fallbackScheme == scheme)
        return;
    m_fallbackScheme = scheme;
    if (!m_system)
        Q_EMIT changed();
}

ColorScheme OrlixStyle::colorScheme() const
{
    return preferredColorScheme().value_or(systemScheme());
}

double OrlixStyle::heroColorLuminance() const
{
    return luminance(m_hero);
}

QColor OrlixStyle::color(PaletteRole role) const
{
    return paletteColor(m_theme, colorScheme(), role);
}

QColor OrlixStyle::tint(RailModule module) const
{
    return moduleTint(module, m_theme, m_hero);
}

QColor OrlixStyle::primaryButtonFill() const
{
    switch (m_theme) {
    case OrlixTheme::default_: return QColor::fromRgbF(0.62f, 0.79f, 1.0f);
    case OrlixTheme::flatOlive: return QColor::fromRgbF(0.56f, 0.665f, 0.315f);
    case OrlixTheme::activeDark: return QColor::fromRgbF(0.31f, 0.9f, 0.365f);
    case OrlixTheme::heroLight: return m_hero;
    }
    return m_hero;
}

QColor OrlixStyle::primaryButtonLabel() const
{
    if (m_theme != OrlixTheme::heroLight)
        return Qt::black;
    return heroColorLuminance() < 0.56 ? QColor(Qt::white) : QColor::fromRgbF(0.07f, 0.08f, 0.095f);
}

void OrlixStyle::setGlassTier(GlassTier tier)
{
    if (m_tier == tier)
        return;
    m_tier = tier;
    Q_EMIT changed();
}

QColor OrlixStyle::readable(const QColor &ink, double floor) const
{
    return readableOn(ink, referenceSurface(), floor);
}

QColor OrlixStyle::referenceSurface() const
{
    if (colorScheme() == ColorScheme::light)
        return lightReferenceSurface();
    // A row on dark glass over a mid-grey desktop: lighter than most of what
    // a card shows.
    return composited(surface(), composited(glassBase(), QColor(128, 128, 128)));
}

QColor OrlixStyle::readableOnFill(const QColor &ink, const QColor &fill, double floor) const
{
    // A see-through fill is checked where it lands on the reference card
    // and on the farthest card from it (white in light appearance, black in
    // dark).
    const QColor farthest = colorScheme() == ColorScheme::light ? QColor(Qt::white) : QColor(Qt::black);
    return readableOn(readableOn(ink, composited(fill, referenceSurface()), floor), composited(fill, farthest), floor);
}

QColor OrlixStyle::symbolInk(const QColor &ink, const QColor &fill) const
{
    return fill.isValid() ? readableOnFill(ink, fill, kLargeInkContrast)
                          : readableOn(ink, referenceSurface(), kLargeInkContrast);
}

QColor OrlixStyle::lightReferenceSurface()
{
    return QColor(0xD6, 0xD6, 0xD6);
}

} // namespace kolu
