#include "cards/nowplaying/NowPlayingHeroRules.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace kolu::nowplaying {

std::optional<QUrl> artworkURL(const std::optional<QString> &artworkLocation)
{
    if (!artworkLocation)
        return std::nullopt;
    const QString text = artworkLocation->trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (text.startsWith(u"http://"_s, Qt::CaseInsensitive) || text.startsWith(u"https://"_s, Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return std::nullopt;
        return url;
    }
    // Players publish their artwork files as file:// addresses.
    if (text.startsWith(u"file://"_s, Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        const bool onThisComputer = url.host().isEmpty() || url.host() == u"localhost"_s;
        if (!url.isValid() || !url.isLocalFile() || !onThisComputer)
            return std::nullopt;
        return url;
    }
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

QString badgeSymbol(const QString &source)
{
    if (source == u"Spotify"_s)
        return u"music.note.list"_s;
    if (source == u"SoundCloud"_s)
        return u"waveform"_s;
    if (source == u"Anghami"_s)
        return u"music.note.tv"_s;
    if (source.contains(u"YouTube"_s, Qt::CaseSensitive))
        return u"play.rectangle.fill"_s;
    return u"music.note"_s;
}

QString badgeText(const QString &source)
{
    return source.isEmpty() ? u"Audio"_s : source;
}

QString detailLine(const QString &artist, const QString &source)
{
    QStringList parts;
    for (const QString &part : {artist, source}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(u" \u00B7 "_s);
}

QString placeholderSymbol(bool isPlaying)
{
    return isPlaying ? u"waveform"_s : u"music.note"_s;
}

QString playPauseSymbol(bool isPlaying)
{
    return isPlaying ? u"pause.fill"_s : u"play.fill"_s;
}

QString muteSymbol(bool isMuted)
{
    return isMuted ? u"speaker.slash.fill"_s : u"speaker.wave.2.fill"_s;
}

QString muteHelp(bool isMuted)
{
    return isMuted ? u"Unmute"_s : u"Mute"_s;
}

} // namespace kolu::nowplaying
