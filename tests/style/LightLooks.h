#pragma once

#include "model/SettingsKeys.h"
#include "model/UserDefaults.h"
#include "style/OrlixStyle.h"
#include "style/ReadableInk.h"

#include <QColor>

namespace kolu::test {

// Every look drawn in light appearance.
inline constexpr const char *kLightThemes[] = {"default", "flatOlive", "heroLight"};

// Puts `style`, reading `defaults`, in the light look of `theme`.
inline void useLightLook(UserDefaults &defaults, OrlixStyle &style, const char *theme)
{
    style.setSystemScheme(ColorScheme::light);
    defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(theme));
    defaults.set(SettingsKey::orlixAppearanceMode, QStringLiteral("light"));
}

// A light card as it shows over a mid-grey desktop: the look's glass base on
// the grey.
inline QColor lightCardBackdrop(const OrlixStyle &style)
{
    return composited(style.glassBase(), QColor(128, 128, 128));
}

} // namespace kolu::test
