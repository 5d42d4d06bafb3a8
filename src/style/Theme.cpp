#include "style/Theme.h"

namespace kolu {

OrlixTheme themeFromStored(const std::optional<QString> &stored)
{
    if (!stored)
        return OrlixTheme::default_;
    return fromRawValue<OrlixTheme>(*stored).value_or(OrlixTheme::default_);
}

std::optional<ColorScheme> preferredColorScheme(OrlixTheme theme, const std::optional<QString> &storedMode)
{
    if (theme == OrlixTheme::activeDark)
        return ColorScheme::dark;
    if (theme == OrlixTheme::heroLight)
        return ColorScheme::light;
    const auto mode = storedMode ? fromRawValue<OrlixAppearanceMode>(*storedMode) : std::nullopt;
    if (mode == OrlixAppearanceMode::dark)
        return ColorScheme::dark;
    if (mode == OrlixAppearanceMode::light)
        return ColorScheme::light;
    return std::nullopt;
}

ColorScheme effectiveColorScheme(OrlixTheme theme, const std::optional<QString> &storedMode, ColorScheme system)
{
    return preferredColorScheme(theme, storedMode).value_or(system);
}

} // namespace kolu
