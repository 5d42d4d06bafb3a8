#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace kolu::nowplaying {

// Where the artwork of a now-playing item is: a web address (trimmed, with
// an http or https scheme), a file:// address as players publish it, or
// else the text taken as a path on this computer (a relative one against
// the working folder). Nothing for no location, a blank one or a web
// address that does not parse.
std::optional<QUrl> artworkURL(const std::optional<QString> &artworkLocation);

// The badge's symbol for a source name (exact names, then "YouTube"
// anywhere, case-sensitive), and its text ("Audio" for no source).
QString badgeSymbol(const QString &source);
QString badgeText(const QString &source);

// The artist and the source, the empty ones left out, joined by " · ".
QString detailLine(const QString &artist, const QString &source);

// The placeholder's symbol and the centre button's.
QString placeholderSymbol(bool isPlaying);
QString playPauseSymbol(bool isPlaying);

// The mute button's symbol and help text.
QString muteSymbol(bool isMuted);
QString muteHelp(bool isMuted);

} // namespace kolu::nowplaying
