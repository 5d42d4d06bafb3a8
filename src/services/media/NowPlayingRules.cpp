#include "services/media/NowPlayingRules.h"

#include "model/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Site names that players and browsers append to a title, removed in this order.
const QStringList siteSuffixes = {
    u" - YouTube Music"_s,
    u" - YouTube"_s,
    u" \u2014 YouTube"_s,
    u" \u2022 YouTube Music"_s,
    u" | Listen online for free on SoundCloud"_s,
    u" | Free Listening on SoundCloud"_s,
    u" | SoundCloud"_s,
    u" | Play on Anghami"_s,
    u" | Anghami"_s,
    u" - Anghami"_s,
};

const QStringList videoSiteMarkers = {
    u"youtube.com/watch"_s,
    u"music.youtube.com"_s,
    u"youtu.be/"_s,
    u"youtube.com/shorts/"_s,
};

const QStringList musicServiceMarkers = {
    u"play.anghami.com/"_s,
    u"anghami.com/"_s,
};

// Words that name a Chromium- or Firefox-family browser in an identity
// ("Google Chrome", "Mozilla Firefox") or a desktop entry ("brave-browser",
// "microsoft-edge", "org.mozilla.firefox").
const QSet<QString> browserWords = {
    u"chrome"_s,  u"chromium"_s, u"brave"_s,     u"edge"_s,     u"msedge"_s, u"vivaldi"_s, u"opera"_s,
    u"thorium"_s, u"firefox"_s,  u"librewolf"_s, u"waterfox"_s, u"floorp"_s, u"icecat"_s,  u"iceweasel"_s,
};

// Embedded artwork larger than this is not written out.
constexpr qsizetype maxEmbeddedArtworkText = 24 * 1024 * 1024;

QStringList wordsOf(const QString &text)
{
    static const QRegularExpression separators(u"[^\\p{L}\\p{N}]+"_s);
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}

bool hasWord(const QString &text, const QString &word)
{
    return wordsOf(text).contains(word);
}

QString withoutSiteSuffixes(QString text)
{
    for (const QString &suffix : siteSuffixes)
        text.remove(suffix);
    return text;
}

bool containsAny(const QString &text, const QStringList &markers)
{
    for (const QString &marker : markers) {
        if (text.contains(marker, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::optional<QString> writeEmbeddedArtwork(const QString &dataUrl, const QString &artworkDirectory)
{
    if (dataUrl.size() > maxEmbeddedArtworkText || artworkDirectory.isEmpty())
        return std::nullopt;
    const qsizetype comma = dataUrl.indexOf(u',');
    if (comma < 0)
        return std::nullopt;
    const QStringList header = dataUrl.mid(5, comma - 5).split(u';');
    const QString mimeType = header.constFirst().trimmed();
    if (!mimeType.startsWith(u"image/"_s, Qt::CaseInsensitive) || !header.contains(u"base64"_s, Qt::CaseInsensitive))
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(QStringView(dataUrl).mid(comma + 1).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;

    // Kolu's own folder, checked through its descriptor: a link planted in
    // its place or in it is never followed, and one another account owns or
    // may enter is not used.
    const auto folder = PrivateFolder::open(artworkDirectory, {.create = true, .tighten = true});
    if (!folder)
        return std::nullopt;
    const QString extension = mimeType.contains(u"png"_s, Qt::CaseInsensitive) ? u"png"_s : u"jpg"_s;
    const QString name = u"mediaremote-now-playing."_s + extension;
    if (!folder->writeFile(name, decoded.decoded))
        return std::nullopt;
    return QDir(folder->path()).filePath(name);
}

bool namesBrowser(const QString &identity, const QString &desktopEntry)
{
    const QStringList words = wordsOf(identity) + wordsOf(desktopEntry);
    for (const QString &word : words) {
        if (browserWords.contains(word))
            return true;
    }
    return false;
}

} // namespace

bool isBrowserPlayer(const MprisPlayer &player)
{
    return namesBrowser(player.identity, player.desktopEntry);
}

bool isSpotifyPlayer(const MprisPlayer &player)
{
    static const QString prefix = u"org.mpris.MediaPlayer2."_s;
    const QString instance = player.busName.mid(prefix.size()).section(u'.', 0, 0);
    return instance.compare(u"spotify"_s, Qt::CaseInsensitive) == 0 || hasWord(player.desktopEntry, u"spotify"_s);
}

PlayerKind playerKind(const MprisPlayer &player)
{
    if (isSpotifyPlayer(player))
        return PlayerKind::spotify;
    if (isBrowserPlayer(player))
        return PlayerKind::browser;
    return PlayerKind::other;
}

NowPlayingItem nothingPlayingItem()
{
    return NowPlayingItem{u"Nothing playing"_s, {}, {}, false, false, std::nullopt};
}

QString cleanedTitle(const QString &title, PlayerKind kind)
{
    QString text = withoutSiteSuffixes(title.trimmed());
    // Browsers put the count of unread items in front: "(3) Song".
    if (text.startsWith(u'(')) {
        const qsizetype close = text.indexOf(u')');
        if (close > 0) {
            bool numeric = true;
            for (qsizetype i = 1; i < close; ++i)
                numeric = numeric && text.at(i).isNumber();
            if (numeric)
                text = text.mid(close + 1).trimmed();
        }
    }
    if (text.isEmpty() && kind == PlayerKind::browser)
        return u"YouTube"_s;
    return text;
}

QString cleanMediaTitle(const QString &title)
{
    const QString text = withoutSiteSuffixes(title.trimmed());
    return text.isEmpty() ? title : text;
}

QString thumbnailURL(const QString &videoID)
{
    static const QString trimmed = u"/?& "_s;
    qsizetype start = 0;
    qsizetype end = videoID.size();
    while (start < end && trimmed.contains(videoID.at(start)))
        ++start;
    while (end > start && trimmed.contains(videoID.at(end - 1)))
        --end;
    if (start == end)
        return {};
    // Encoded, so whatever the id holds stays one path segment on the image host.
    const QString id = QString::fromLatin1(QUrl::toPercentEncoding(videoID.mid(start, end - start)));
    return QString(u"https://i.ytimg.com/vi/"_s + id + u"/hqdefault.jpg"_s);
}

std::optional<QString> youtubeArtworkURL(const QString &address)
{
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString host = url.host().toLower();
    const QStringList components = url.path().split(u'/');
    if (host.contains(u"youtu.be"_s))
        return thumbnailURL(components.size() > 1 ? components.at(1) : QString());
    if (!host.contains(u"youtube.com"_s))
        return std::nullopt;

    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &[name, value] : items) {
        if (name == u"v"_s) {
            if (!value.isEmpty())
                return thumbnailURL(value);
            break;
        }
    }
    for (qsizetype i = 0; i + 1 < components.size(); ++i) {
        if (components.at(i) == u"shorts"_s || components.at(i) == u"embed"_s)
            return thumbnailURL(components.at(i + 1));
    }
    return std::nullopt;
}

bool isVideoSiteAddress(const QString &address)
{
    return containsAny(address, videoSiteMarkers);
}

bool isMusicServiceAddress(const QString &address)
{
    return containsAny(address, musicServiceMarkers);
}

QString normalizedSource(const QString &appName, const QString &desktopEntry, const QString &title)
{
    const QString joined = QString(appName + u' ' + desktopEntry + u' ' + title).toLower();
    if (joined.contains(u"anghami"_s))
        return u"Anghami"_s;
    if (joined.contains(u"soundcloud"_s))
        return u"SoundCloud"_s;
    if (joined.contains(u"youtube"_s))
        return u"YouTube"_s;
    // Web media in a browser counts as the video site.
    if (namesBrowser(appName, desktopEntry))
        return u"YouTube"_s;
    if (!appName.isEmpty())
        return appName;
    return u"Audio"_s;
}

std::optional<QString> artworkLocation(const QString &artUrl, const QString &artworkDirectory)
{
    if (artUrl.startsWith(u"data:"_s, Qt::CaseInsensitive))
        return writeEmbeddedArtwork(artUrl, artworkDirectory);
    const QUrl url(artUrl, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"file"_s) {
        const bool onThisMachine = url.host().isEmpty() || url.host() == u"localhost"_s;
        const QString path = url.path(QUrl::FullyDecoded);
        if (onThisMachine && path.startsWith(u'/'))
            return QDir::cleanPath(path);
        return std::nullopt;
    }
    if (scheme == u"https"_s && !url.host().isEmpty())
        return artUrl;
    return std::nullopt;
}

NowPlayingItem itemFromPlayer(const MprisPlayer &player, const QString &artworkDirectory)
{
    NowPlayingItem item;
    item.artist = player.artists.join(u", "_s);
    item.isPlaying = player.isPlaying();
    item.isMuted = false;

    switch (playerKind(player)) {
    case PlayerKind::spotify:
        item.title = cleanedTitle(player.title, PlayerKind::spotify);
        item.source = u"Spotify"_s;
        item.artworkLocation = artworkLocation(player.artUrl, artworkDirectory);
        break;
    case PlayerKind::other: {
        const QString trimmed = player.title.trimmed();
        item.title = trimmed.isEmpty() ? QString() : cleanMediaTitle(trimmed);
        item.source = normalizedSource(player.identity, player.desktopEntry, trimmed);
        item.artworkLocation = artworkLocation(player.artUrl, artworkDirectory);
        break;
    }
    case PlayerKind::browser:
        item.title = cleanedTitle(player.title, PlayerKind::browser);
        if (item.artist.isEmpty())
            item.artist = player.identity;
        if (isVideoSiteAddress(player.url)) {
            item.source = u"YouTube"_s;
            item.artworkLocation = youtubeArtworkURL(player.url);
        } else if (isMusicServiceAddress(player.url)) {
            item.source = u"Anghami"_s;
        } else {
            item.source = normalizedSource(player.identity, player.desktopEntry, player.title.trimmed());
        }
        if (!item.artworkLocation)
            item.artworkLocation = artworkLocation(player.artUrl, artworkDirectory);
        break;
    }
    return item;
}

QList<MprisPlayer> latestStartedFirst(const QList<MprisPlayer> &players, const QHash<QString, quint64> &startedPlaying)
{
    QList<qsizetype> slots;
    QList<MprisPlayer> playing;
    for (qsizetype i = 0; i < players.size(); ++i) {
        if (players.at(i).isPlaying()) {
            slots.append(i);
            playing.append(players.at(i));
        }
    }
    std::stable_sort(playing.begin(), playing.end(), [&](const MprisPlayer &a, const MprisPlayer &b) {
        return startedPlaying.value(a.busName, 0) > startedPlaying.value(b.busName, 0);
    });
    QList<MprisPlayer> ordered = players;
    for (qsizetype i = 0; i < slots.size(); ++i)
        ordered[slots.at(i)] = playing.at(i);
    return ordered;
}

std::optional<MprisPlayer> chosenBrowserPlayer(const QList<MprisPlayer> &players)
{
    for (bool playing : {true, false}) {
        for (const MprisPlayer &player : players) {
            if (playerKind(player) == PlayerKind::browser && (playing ? player.isPlaying() : player.isPaused()))
                return player;
        }
    }
    return std::nullopt;
}

std::optional<NowPlayingChoice> chooseNowPlaying(const QList<MprisPlayer> &unordered, const QString &artworkDirectory,
                                                 const NowPlayingPreference &preference)
{
    const QList<MprisPlayer> players = latestStartedFirst(unordered, preference.startedPlaying);
    const auto choice = [&](const MprisPlayer &player) {
        return NowPlayingChoice{player.busName, itemFromPlayer(player, artworkDirectory)};
    };
    const auto firstWithTitle = [&](PlayerKind kind, bool playing) -> std::optional<NowPlayingChoice> {
        for (const MprisPlayer &player : players) {
            if (playerKind(player) != kind || !(playing ? player.isPlaying() : player.isPaused()))
                continue;
            NowPlayingChoice chosen = choice(player);
            if (!chosen.item.title.isEmpty())
                return chosen;
        }
        return std::nullopt;
    };
    const auto firstBrowser = [&](bool playing) -> std::optional<NowPlayingChoice> {
        for (const MprisPlayer &player : players) {
            if (playerKind(player) == PlayerKind::browser && (playing ? player.isPlaying() : player.isPaused()))
                return choice(player);
        }
        return std::nullopt;
    };

    if (auto chosen = firstWithTitle(PlayerKind::spotify, true))
        return chosen;
    if (auto chosen = firstWithTitle(PlayerKind::other, true))
        return chosen;
    if (auto chosen = firstBrowser(true))
        return chosen;
    // The player the user just paused stays on show, so the next play/pause
    // resumes it instead of starting another paused player.
    for (const MprisPlayer &player : players) {
        if (player.busName != preference.keptBusName || !player.isPaused())
            continue;
        NowPlayingChoice chosen = choice(player);
        if (playerKind(player) == PlayerKind::browser || !chosen.item.title.isEmpty())
            return chosen;
    }
    if (auto chosen = firstBrowser(false))
        return chosen;
    if (auto chosen = firstWithTitle(PlayerKind::spotify, false))
        return chosen;
    return firstWithTitle(PlayerKind::other, false);
}

} // namespace kolu
