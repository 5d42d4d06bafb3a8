#include "services/media/NowPlayingRules.h"

#include "../ServiceTests.h"

using kolu::MprisPlayer;
using kolu::PlayerKind;

namespace {

MprisPlayer player(const QString &instance, const QString &identity, const QString &desktopEntry, const QString &status,
                   const QString &title)
{
    return {u"org.mpris.MediaPlayer2."_s + instance, identity, desktopEntry, status, title, {}, {}, {}, {}};
}

TEST(NowPlayingTitles, SiteSuffixesAndTabCountersAreRemovedAndABrowserItemTakesItsSiteFromTheTab)
{
    const std::pair<QString, QString> browserTitles[] = {
        {u"  (3) Song Name - YouTube \n"_s, u"Song Name"_s},
        {u"Track \u2022 YouTube Music"_s, u"Track"_s},
        {u"Mix | Listen online for free on SoundCloud"_s, u"Mix"_s},
        {u"Ya Habibi | Play on Anghami"_s, u"Ya Habibi"_s},
        {u"(Live) Song - YouTube"_s, u"(Live) Song"_s}, // only a count is dropped
        {u"() Song"_s, u"Song"_s},
        {u"(12"_s, u"(12"_s},
        {u"(3) - YouTube"_s, u"YouTube"_s}, // only a browser's empty title becomes the site
        {u"  "_s, u"YouTube"_s},
    };
    for (const auto &[raw, cleaned] : browserTitles)
        EXPECT_EQ(kolu::cleanedTitle(raw, PlayerKind::browser), cleaned) << raw.toStdString();
    EXPECT_EQ(kolu::cleanedTitle(u"(3) - YouTube"_s, PlayerKind::spotify), QString());
    // Media titles lose their site suffix but keep a count.
    EXPECT_EQ(kolu::cleanMediaTitle(u" Song - YouTube "_s), u"Song"_s);
    EXPECT_EQ(kolu::cleanMediaTitle(u"(1) Song"_s), u"(1) Song"_s);

    // A browser item takes its site from the tab address.
    MprisPlayer tab =
        player(u"chromium.instance1"_s, u"Chromium"_s, u"chromium"_s, u"Paused"_s, u"(4) Lofi beats - YouTube"_s);
    tab.url = u"https://www.youtube.com/watch?v=xyz"_s;
    tab.artUrl = u"file:///tmp/.org.chromium.Chromium.abc/art.png"_s;
    kolu::NowPlayingItem item = kolu::itemFromPlayer(tab, {});
    EXPECT_EQ(item, (kolu::NowPlayingItem{u"Lofi beats"_s, u"Chromium"_s, u"YouTube"_s, false, false,
                                          u"https://i.ytimg.com/vi/xyz/hqdefault.jpg"_s}));

    tab.url = u"https://play.anghami.com/song/1"_s;
    tab.title = u"Habibi | Anghami"_s;
    tab.artists = {u"Amr Diab"_s};
    item = kolu::itemFromPlayer(tab, {});
    EXPECT_EQ(item, (kolu::NowPlayingItem{u"Habibi"_s, u"Amr Diab"_s, u"Anghami"_s, false, false,
                                          u"/tmp/.org.chromium.Chromium.abc/art.png"_s}));

    tab.url.clear();
    tab.title = u"Podcast"_s;
    EXPECT_EQ(kolu::itemFromPlayer(tab, {}).source, u"YouTube"_s);
}

// Video pages give their thumbnail; art addresses become paths or stay https.
TEST(NowPlayingArtwork, AddressesGiveAThumbnailAPathOrNothingAndEmbeddedImagesAFileNotThroughALink)
{
    const QString thumb = u"https://i.ytimg.com/vi/abc123/hqdefault.jpg"_s;
    using Rule = std::optional<QString> (*)(const QString &);
    const Rule video = kolu::youtubeArtworkURL,
               id = [](const QString &v) -> std::optional<QString> { return kolu::thumbnailURL(v); };
    const Rule artwork = [](const QString &address) { return kolu::artworkLocation(address, {}); };
    const std::tuple<Rule, QString, std::optional<QString>> cases[] = {
        {video, u"https://www.youtube.com/watch?list=x&v=abc123&t=4"_s, thumb},
        {video, u"https://WWW.YouTube.com/shorts/abc123"_s, thumb},
        {video, u"https://www.youtube.com/embed/abc123?autoplay=1"_s, thumb},
        {video, u"https://youtu.be/abc123?si=q"_s, thumb},
        {video, u"https://music.youtube.com/watch?v=abc123"_s, thumb},
        {video, u"https://youtu.be"_s, QString()}, // no id: an empty, present location
        {video, u"https://www.youtube.com/watch"_s, std::nullopt},
        {video, u"https://www.youtube.com/shorts"_s, std::nullopt},
        {video, u"https://example.com/watch?v=abc"_s, std::nullopt},
        {video, u"not an address"_s, std::nullopt},
        // Ids are trimmed and kept in one path segment.
        {id, u"/?abc& "_s, u"https://i.ytimg.com/vi/abc/hqdefault.jpg"_s},
        {id, u"/?& "_s, QString()},
        {id, u"../../x"_s, u"https://i.ytimg.com/vi/..%2F..%2Fx/hqdefault.jpg"_s},
        {artwork, u"file:///tmp/cover%20art.jpg"_s, u"/tmp/cover art.jpg"_s},
        {artwork, u"file://localhost/tmp/a.png"_s, u"/tmp/a.png"_s},
        {artwork, u"https://i.scdn.co/image/ab67"_s, u"https://i.scdn.co/image/ab67"_s},
        {artwork, u"file://otherhost/tmp/a.png"_s, std::nullopt},
        {artwork, u"http://example.com/a.jpg"_s, std::nullopt},
        {artwork, QString(), std::nullopt},
    };
    for (const auto &[rule, address, expected] : cases)
        EXPECT_EQ(rule(address), expected) << address.toStdString();

    // Embedded images are written to the artwork folder, but not through a link.
    QTemporaryDir root;
    const QString folder = QDir(root.path()).filePath(u"Kolu"_s);
    const QByteArray png("\x89PNG fake image");
    const auto location =
        kolu::artworkLocation(u"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64()), folder);
    ASSERT_EQ(location, QDir(folder).filePath(u"mediaremote-now-playing.png"_s));
    QFile written(*location);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), png);

    EXPECT_EQ(kolu::artworkLocation(u"data:image/jpeg;base64,AAAA"_s, folder),
              QDir(folder).filePath(u"mediaremote-now-playing.jpg"_s));
    EXPECT_EQ(kolu::artworkLocation(u"data:image/png;base64,***"_s, folder), std::nullopt);
    EXPECT_EQ(kolu::artworkLocation(u"data:text/html;base64,AAAA"_s, folder), std::nullopt);
    EXPECT_EQ(kolu::artworkLocation(u"data:image/png,raw"_s, folder), std::nullopt);

    // A link in place of the artwork file is replaced, not followed.
    const QString elsewhere = QDir(root.path()).filePath(u"elsewhere"_s);
    const QString jpeg = QDir(folder).filePath(u"mediaremote-now-playing.jpg"_s);
    ASSERT_TRUE(QFile::remove(jpeg));
    ASSERT_TRUE(QFile::link(elsewhere, jpeg));
    EXPECT_EQ(kolu::artworkLocation(u"data:image/jpeg;base64,AAAA"_s, folder), jpeg);
    EXPECT_FALSE(QFile::exists(elsewhere));
    EXPECT_TRUE(QFileInfo(jpeg).isFile() && !QFileInfo(jpeg).isSymLink());

    // A link in place of the folder is followed only when it is the user's
    // own and leads to a folder no one else may write to; nor is a folder
    // others may enter used as it is: it is narrowed first.
    const QString linked = QDir(root.path()).filePath(u"linked"_s);
    ASSERT_TRUE(QFile::link(folder, linked));
    EXPECT_EQ(kolu::artworkLocation(u"data:image/jpeg;base64,AAAA"_s, linked),
              QDir(linked).filePath(u"mediaremote-now-playing.jpg"_s));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                  | QFile::WriteOther | QFile::ExeOther));
    EXPECT_EQ(kolu::artworkLocation(u"data:image/jpeg;base64,AAAA"_s, linked), std::nullopt);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                  | QFile::ExeOther));
    EXPECT_EQ(kolu::artworkLocation(u"data:image/png;base64,AAAA"_s, folder),
              QDir(folder).filePath(u"mediaremote-now-playing.png"_s));
    EXPECT_FALSE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ExeOther));
}

// Spotify, then another player, then a browser, playing before paused; the
// player the user follows stays on show while paused; among playing players
// the one that started last.
TEST(NowPlayingPlayers, TheChoiceFollowsThePreferenceOrderAndKnowsBrowsersByIdentityAndDesktopEntryAlone)
{
    const auto make = [](const QString &instance, const QString &status, const QString &identity = {}) {
        return player(instance, identity.isEmpty() ? instance : identity, identity.isEmpty() ? instance : identity,
                      status, instance.toUpper());
    };
    const MprisPlayer spotifyPlaying = make(u"spotify"_s, u"Playing"_s),
                      spotifyPaused = make(u"spotify"_s, u"Paused"_s);
    const MprisPlayer alphaPlaying = make(u"alpha"_s, u"Playing"_s), alphaPaused = make(u"alpha"_s, u"Paused"_s);
    const MprisPlayer zuluPlaying = make(u"zulu"_s, u"Playing"_s), zuluPaused = make(u"zulu"_s, u"Paused"_s);
    const MprisPlayer zuluStopped = make(u"zulu"_s, u"Stopped"_s);
    const MprisPlayer tabPaused = make(u"firefox.i1"_s, u"Paused"_s, u"firefox"_s);
    const MprisPlayer tabPlaying = make(u"firefox.i2"_s, u"Playing"_s, u"firefox"_s);
    MprisPlayer untitled = spotifyPlaying; // a playing player with no title gives way
    untitled.title = u"(1) - YouTube"_s;
    const QString zulu = zuluPaused.busName, alpha = alphaPaused.busName;

    const struct {
        QList<MprisPlayer> players;
        kolu::NowPlayingPreference preference;
        QString shown;
    } cases[] = {
        {{alphaPlaying, spotifyPlaying, tabPlaying}, {}, u"SPOTIFY"_s},
        {{tabPlaying, alphaPlaying, spotifyPaused}, {}, u"ALPHA"_s},
        {{tabPaused, spotifyPaused, alphaPaused}, {}, u"FIREFOX.I1"_s},
        {{tabPaused, tabPlaying}, {}, u"FIREFOX.I2"_s},
        {{alphaPaused, spotifyPaused}, {}, u"SPOTIFY"_s},
        {{zuluStopped}, {}, QString()},
        {{}, {}, QString()},
        {{untitled, alphaPaused}, {}, u"ALPHA"_s},
        // The paused player the user followed, not the first paused one ...
        {{alphaPaused, zuluPaused}, {zulu, {}}, u"ZULU"_s},
        {{alphaPaused, zuluPaused}, {}, u"ALPHA"_s},
        // ... not even a paused browser tab takes its place,
        {{tabPaused, zuluPaused}, {zulu, {}}, u"ZULU"_s},
        // ... but anything playing does, and a stopped one is not kept.
        {{alphaPlaying, zuluPaused}, {zulu, {}}, u"ALPHA"_s},
        {{alphaPaused, zuluStopped}, {zulu, {}}, u"ALPHA"_s},
        // Among playing players the one that started last.
        {{alphaPlaying, zuluPlaying}, {{}, {{alpha, 1}, {zulu, 2}}}, u"ZULU"_s},
        {{alphaPlaying, zuluPlaying}, {{}, {{alpha, 3}, {zulu, 2}}}, u"ALPHA"_s},
        {{alphaPlaying, zuluPlaying}, {zulu, {}}, u"ALPHA"_s},
    };
    int index = 0;
    for (const auto &c : cases) {
        const auto choice = kolu::chooseNowPlaying(c.players, {}, c.preference);
        EXPECT_EQ(choice ? choice->item.title : QString(), c.shown) << "case " << index;
        EXPECT_EQ(choice ? choice->busName : QString(),
                  c.shown.isEmpty() ? QString() : u"org.mpris.MediaPlayer2."_s + c.shown.toLower())
            << "case " << index++;
    }

    // Browsers are known by identity and desktop entry alone; sources by service, then player.
    const auto kindOf = [](const QString &identity, const QString &desktopEntry, const QString &title = {}) {
        return kolu::playerKind(player(u"x"_s, identity, desktopEntry, u"Playing"_s, title));
    };
    EXPECT_EQ(kindOf(u"Mozilla Firefox"_s, u"firefox-esr"_s), PlayerKind::browser);
    EXPECT_EQ(kindOf(u"Microsoft Edge"_s, u"microsoft-edge"_s), PlayerKind::browser);
    EXPECT_EQ(kindOf({}, u"com.google.Chrome"_s), PlayerKind::browser);
    EXPECT_EQ(kindOf(u"Spotify"_s, u"com.spotify.Client"_s), PlayerKind::spotify);
    EXPECT_EQ(kindOf(u"spotifyd"_s, {}), PlayerKind::other);
    EXPECT_EQ(kindOf(u"Searcher"_s, u"research"_s), PlayerKind::other);
    // What plays says nothing about who plays it.
    EXPECT_EQ(kindOf(u"Rhythmbox"_s, u"org.gnome.Rhythmbox3"_s, u"March of the Arc - Edge Mix"_s), PlayerKind::other);

    EXPECT_EQ(kolu::normalizedSource(u"Rhythmbox"_s, u"rhythmbox"_s, u"Edge of Night"_s), u"Rhythmbox"_s);
    EXPECT_EQ(kolu::normalizedSource(u"mpv"_s, {}, u"Talk | SoundCloud"_s), u"SoundCloud"_s);
    EXPECT_EQ(kolu::normalizedSource(u"Anghami"_s, {}, u"Song"_s), u"Anghami"_s);
    EXPECT_EQ(kolu::normalizedSource(u"VLC media player"_s, u"vlc"_s, u"clip from youtube"_s), u"YouTube"_s);
    EXPECT_EQ(kolu::normalizedSource(u"Brave"_s, u"brave-browser"_s, u"Song"_s), u"YouTube"_s);
    EXPECT_EQ(kolu::normalizedSource({}, {}, u"Song"_s), u"Audio"_s);
}

} // namespace
