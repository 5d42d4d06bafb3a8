#pragma once

#include "model/RawEnum.h"

#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace kolu {

// The four looks of the program, stored by raw value under SettingsKey::orlixTheme.
// `default_` is the theme whose raw value is "default" (a C++ keyword).
enum class OrlixTheme { default_, flatOlive, activeDark, heroLight };
template<>
struct EnumNames<OrlixTheme> {
    static constexpr std::array<std::string_view, 4> names{"default", "flatOlive", "activeDark", "heroLight"};
};

// The user's light/dark choice, stored by raw value under SettingsKey::orlixAppearanceMode.
enum class OrlixAppearanceMode { system, dark, light };
template<>
struct EnumNames<OrlixAppearanceMode> {
    static constexpr std::array<std::string_view, 3> names{"system", "dark", "light"};
};

// Light or dark appearance, as the views draw it.
enum class ColorScheme { light, dark };

// A stored theme name: exactly a raw value, otherwise (missing, unknown,
// another case spelling) `default_`.
OrlixTheme themeFromStored(const std::optional<QString> &stored);

// The scheme a root view asks for: activeDark forces dark, heroLight forces
// light; otherwise "dark" and "light" pick, and "system" or anything else
// (missing, unknown) asks for nothing, so the system's scheme shows.
std::optional<ColorScheme> preferredColorScheme(OrlixTheme theme, const std::optional<QString> &storedMode);

// The scheme that is drawn: the preferred one, else the system's.
ColorScheme effectiveColorScheme(OrlixTheme theme, const std::optional<QString> &storedMode, ColorScheme system);

} // namespace kolu
