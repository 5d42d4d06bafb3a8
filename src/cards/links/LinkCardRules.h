#pragma once

#include "model/Records.h"
#include "style/Theme.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace kolu::linkcard {

// At most this many favourites are shown, newest first.
inline constexpr int maxVisibleLinks = 9;

// The favourites of `links` (stored order), newest `dateAdded` first; equal
// dates keep their stored order. At most `maxVisibleLinks`.
std::vector<SavedLink> visibleLinks(const std::vector<SavedLink> &links);

// The composer can save once the address holds more than white space.
bool canSave(const QString &url);

// Columns of the favourites grid at `width`: tiles at least 78 wide, 10 apart.
int gridColumns(int width);

// The host of `url` when it reads as an address, else empty.
QString hostOf(const QString &url);

// `host` without one leading "www." (only a leading one: "xwww.example.com"
// is another site).
QString withoutLeadingWww(const QString &host);

// The name under a tile: the trimmed title, else the host (see hostLabel)
// without a leading "www.", else "Link".
QString tileName(const SavedLink &link);

// What the icon's colour and monogram are drawn from: the trimmed title,
// else the host, else the address as stored.
QString displaySource(const SavedLink &link);

// The user-perceived characters (grapheme clusters) of `text`.
QStringList graphemes(const QString &text);

// One or two letters for a link without a brand icon: the first letters of
// the first two words of its display source, or its first two characters
// when it has fewer words; upper-cased.
QString monogram(const QString &displaySource);
// How many characters `monogram` shows (the icon draws one larger).
int monogramLength(const QString &monogram);

// The icon colour's index in the seven named colours: the sum of the
// source's code points modulo 7.
int iconColorIndex(const QString &displaySource);
// Cyan, mint, blue, purple, pink, orange, yellow, in the given appearance.
QColor namedIconColor(int index, ColorScheme scheme);

// The address a tile click opens: only an http or https address with a host.
std::optional<QUrl> openableURL(const SavedLink &link);

// The search button's fill and label colours under `theme`. `linksTint` is the
// links module's tint, `hero` the hero colour and `heroLuminance` its luminance.
QColor searchButtonTint(OrlixTheme theme, const QColor &linksTint, const QColor &hero);
QColor searchButtonForeground(OrlixTheme theme, double heroLuminance);

} // namespace kolu::linkcard
