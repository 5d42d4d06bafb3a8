#pragma once

#include "model/Records.h"
#include "platform/media/Mpris.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace kolu {

// Which role a player plays in the choice of what is playing.
enum class PlayerKind {
    spotify, // Spotify's own player
    browser, // a Chromium- or Firefox-family browser
    other,   // any other player: the desktop's own now-playing source
};

PlayerKind playerKind(const MprisPlayer &player);

// Judged by the player's identity and desktop entry alone, never by what it
// plays, so a track called "March" or "Edge of Night" stays a track.
bool isBrowserPlayer(const MprisPlayer &player);
bool isSpotifyPlayer(const MprisPlayer &player);

// The item that means nothing is playing.
NowPlayingItem nothingPlayingItem();

// Title of a player or browser tab: trimmed, site suffixes removed, a leading
// unread-count "(3)" dropped. Only a browser's empty title becomes "YouTube";
// a player's stays empty.
QString cleanedTitle(const QString &title, PlayerKind kind);

// Title from the desktop's now-playing source: trimmed, site suffixes
// removed; when nothing is left, the trimmed title.
QString cleanMediaTitle(const QString &title);

// Address of the video site's thumbnail for a watch, shorts, embed or short
// link; nothing for other addresses.
std::optional<QString> youtubeArtworkURL(const QString &address);
// The thumbnail address for `videoID`; the empty text for an empty id.
QString thumbnailURL(const QString &videoID);

bool isVideoSiteAddress(const QString &address);
bool isMusicServiceAddress(const QString &address);

// The name shown for where the media comes from.
QString normalizedSource(const QString &appName, const QString &desktopEntry, const QString &title);

// The item's artwork from the player's art address: a local file's path, an
// https address as it stands, or embedded image data written to
// `artworkDirectory`. Nothing for any other address or a failed write.
std::optional<QString> artworkLocation(const QString &artUrl, const QString &artworkDirectory);

// What the item for one player looks like.
NowPlayingItem itemFromPlayer(const MprisPlayer &player, const QString &artworkDirectory);

// Whom the user follows, for the choice of what to show.
struct NowPlayingPreference {
    // The player last shown or controlled: it stays on show while it is
    // paused, rather than another paused player taking its place.
    QString keptBusName;
    // When each playing player started, by bus name: a larger number is
    // later; a player that is absent counts as started before all others.
    QHash<QString, quint64> startedPlaying;
};

// The item to show and the player it comes from.
struct NowPlayingChoice {
    QString busName;
    NowPlayingItem item;
};

// `players` with the playing ones put in the order they started playing,
// the latest first; the others keep their places.
QList<MprisPlayer> latestStartedFirst(const QList<MprisPlayer> &players, const QHash<QString, quint64> &startedPlaying);

// The player a browser's item comes from: the first playing browser, else
// the first paused one.
std::optional<MprisPlayer> chosenBrowserPlayer(const QList<MprisPlayer> &players);

// The item to show, in order of preference: Spotify playing, another player
// playing, a browser playing, the kept player while it is paused, a browser
// paused, Spotify paused, another player paused. Among several playing
// players of one kind the one that started last wins. Nothing when none
// qualifies.
std::optional<NowPlayingChoice> chooseNowPlaying(const QList<MprisPlayer> &players, const QString &artworkDirectory,
                                                 const NowPlayingPreference &preference = {});

} // namespace kolu
