#pragma once

#include "LocalHttpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

namespace kolu::test {

// A short live HLS stream (a sine tone in AAC, one-second segments, a
// playlist without an end mark) cut by ffmpeg into a temporary folder and
// served by a LocalHttpServer under /live/. While `dead` is set every request
// is answered with 404, as by a station that went off the air.
class HlsTestStream {
public:
    HlsTestStream()
    {
        QProcess process;
        process.setWorkingDirectory(m_folder.path());
        process.start(QStringLiteral("ffmpeg"),
                      QStringLiteral("-nostdin -hide_banner -loglevel error -f lavfi -i sine=frequency=440:duration=8 "
                                     "-c:a aac -b:a 64k -f hls -hls_time 1 -hls_list_size 0 "
                                     "-hls_segment_filename seg%d.ts full.m3u8")
                          .split(QLatin1Char(' ')));
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            throw std::runtime_error("ffmpeg (see scripts/setup.sh) could not make the test stream");

        QFile full(m_folder.filePath(QStringLiteral("full.m3u8")));
        if (!full.open(QIODevice::ReadOnly))
            throw std::runtime_error("ffmpeg wrote no playlist");
        // Without the end mark the player treats it as a live stream and
        // keeps asking for the playlist, as it does with a radio station.
        m_playlist = full.readAll().replace("#EXT-X-ENDLIST\n", "");

        server.setHandler([this](const RecordedRequest &request) -> std::optional<CannedResponse> {
            if (dead || !request.path.startsWith(QStringLiteral("/live/")))
                return CannedResponse{404, "gone", {{"Content-Type", "text/plain"}}};
            const QString name = request.path.mid(6);
            if (name == QStringLiteral("playlist.m3u8"))
                return CannedResponse{200, m_playlist, {{"Content-Type", "application/vnd.apple.mpegurl"}}};
            QFile segment(m_folder.filePath(name));
            if (name.contains(QLatin1Char('/')) || !name.endsWith(QStringLiteral(".ts"))
                || !segment.open(QIODevice::ReadOnly))
                return CannedResponse{404, "missing", {{"Content-Type", "text/plain"}}};
            return CannedResponse{200, segment.readAll(), {{"Content-Type", "video/mp2t"}}};
        });
    }

    QUrl playlistURL() const { return server.url(QStringLiteral("/live/playlist.m3u8")); }
    QUrl deadURL(const QString &name) const
    {
        return server.url(QStringLiteral("/nothing/") + name + QStringLiteral(".m3u8"));
    }

    LocalHttpServer server;
    bool dead = false;

private:
    QTemporaryDir m_folder;
    QByteArray m_playlist;
};

} // namespace kolu::test
