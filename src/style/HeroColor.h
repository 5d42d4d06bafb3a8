#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace kolu {

// The colour shown when the stored hero value is unusable: a rounded
// rendering of the default (0.052, 0.424, 0.91), not its exact bytes.
QColor fallbackHeroColor();

// Reads "#RRGGBB" or "RRGGBB" after trimming white space at both ends: one
// optional number sign, then exactly six hexadecimal digits (either case).
// Anything else (a sign, a second "#", five or seven digits, a non-hex
// letter) gives nothing.
std::optional<QColor> parseHexColor(const QString &text);

// The hero colour of a stored value: absent gives the default, unusable
// gives fallbackHeroColor(). Never fails; never writes anything back.
QColor heroColorFromStored(const std::optional<QString> &stored);

// Relative luminance on the gamma-encoded sRGB components as they are
// (0.2126 R + 0.7152 G + 0.0722 B, no linearisation): about 0.379 for the
// default hero colour, 1 for white.
double luminance(const QColor &color);

// "#RRGGBB" in upper-case digits, each component rounded half away from zero
// and clamped into 0...255, so any colour gives a string the parser accepts.
// An invalid colour gives nothing (the caller keeps the stored value).
std::optional<QString> hexString(const QColor &color);

} // namespace kolu
