// The mixer with the loops the build synthesised, played by the GStreamer
// back end into the null sound device.
#include "services/media/SoundscapeAudioManager.h"

#include "platform/media/AudioPlayer.h"
#include "platform/media/backend/MediaAudioPlayer.h"
#include "platform/media/backend/LoopingAudioPlayer.h"

#include "../ServiceTests.h"

#include <QCoreApplication>
#include <QProcess>

#include <gst/gst.h>

#include <mutex>

namespace kolu {
namespace {

// Where the build puts the loops, seen from the test executable's folder.
QString builtSoundFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../src/"_s
                           + SoundscapeAudioManager::kSoundFolderName);
}

// The decoded samples of an audio file, as ffmpeg gives them.
QByteArray decoded(const QString &file)
{
    QProcess ffmpeg;
    ffmpeg.start(u"ffmpeg"_s, {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-i"_s, file, u"-f"_s, u"s16le"_s, u"-"_s});
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0)
        return {};
    return ffmpeg.readAllStandardOutput();
}

TEST(SoundscapeLoopsTest, TheBuildShipsTheLoopsWithTheirLicenceAndAnotherSynthesisGivesTheSameAudio)
{
    EXPECT_TRUE(QFileInfo(QDir(builtSoundFolder()).filePath(u"LICENSE"_s)).isFile());
    // The script that makes the loops draws random choices and noise: every build must make the same sound.
    QTemporaryDir again;
    QProcess script;
    script.start(u"bash"_s, {QDir::cleanPath(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../scripts/make-soundscapes.sh")),
                             again.path()});
    // Minutes of sound: on a loaded machine only the suite's own time-out bounds the wait.
    ASSERT_TRUE(script.waitForFinished(-1));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks()) {
        const QByteArray built = decoded(QDir(builtSoundFolder()).filePath(track.filename));
        EXPECT_GT(built.size(), 10 * 44100 * 4) << track.filename.toStdString();
        EXPECT_TRUE(built == decoded(QDir(again.path()).filePath(track.filename))) << track.filename.toStdString();
    }
}

// What a loop player gives out, placed where its timestamps put it on the output's timeline (a sink plays
// each sample at its running time, so a pause between passes is a jump), checked against the file's samples.
struct SeamProbe {
    static constexpr qint64 kRate = 44100, kFrameBytes = 4;
    const QByteArray loop;
    std::mutex mutex{};
    qint64 end = 0;
    QString fault{};

    GstElement *sink()
    {
        GstElement *bin = gst_parse_bin_from_description(
            "capsfilter caps=audio/x-raw,format=S16LE,layout=interleaved,rate=44100,channels=2 "
            "! fakesink name=probe sync=false signal-handoffs=true",
            TRUE, nullptr);
        GstElement *probe = gst_bin_get_by_name(GST_BIN(bin), "probe");
        g_signal_connect(probe, "handoff", G_CALLBACK(+[](GstElement *, GstBuffer *buffer, GstPad *pad, gpointer self) {
                             static_cast<SeamProbe *>(self)->take(buffer, pad);
                         }),
                         this);
        gst_object_unref(probe);
        return bin;
    }

    void take(GstBuffer *buffer, GstPad *pad)
    {
        GstEvent *event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
        const GstSegment *segment = nullptr;
        gst_event_parse_segment(event, &segment);
        const qint64 at = qint64(gst_util_uint64_scale_round(
            gst_segment_to_running_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer)), kRate, GST_SECOND));
        gst_event_unref(event);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        const std::lock_guard lock(mutex);
        const qint64 frames = qint64(map.size) / kFrameBytes, loopFrames = loop.size() / kFrameBytes;
        if (fault.isEmpty() && at != end)
            fault = u"the output jumps from frame %1 to %2"_s.arg(end).arg(at);
        for (qint64 i = 0; fault.isEmpty() && i < frames; ++i) {
            if (memcmp(map.data + i * kFrameBytes, loop.constData() + (at + i) % loopFrames * kFrameBytes, kFrameBytes))
                fault = u"output frame %1 is not the loop's frame %2"_s.arg(at + i).arg((at + i) % loopFrames);
        }
        end = at + frames;
        gst_buffer_unmap(buffer, &map);
    }

    // Two whole passes and the start of a third are out, or a fault.
    bool done()
    {
        const std::lock_guard lock(mutex);
        return !fault.isEmpty() || end > 2 * (loop.size() / kFrameBytes) + kRate;
    }
};

TEST(SoundscapeLoopsTest, EveryLoopRunsOnIntoItsNextPassSampleForSample)
{
    gst_init(nullptr, nullptr);
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks()) {
        const QString file = QDir(builtSoundFolder()).filePath(track.filename);
        SeamProbe probe{decoded(file)};
        ASSERT_FALSE(probe.loop.isEmpty()) << track.filename.toStdString();
        LoopingAudioPlayer player(QUrl::fromLocalFile(file), probe.sink());
        player.play();
        EXPECT_TRUE(
            test::waitUntil([&] { return probe.done() || player.itemStatus() == AudioPlayer::ItemStatus::Failed; },
                            std::chrono::seconds(60)));
        player.stop();
        EXPECT_EQ(probe.fault, QString()) << track.filename.toStdString();
        EXPECT_GE(player.passesQueued(), 2);
    }
}

} // namespace
} // namespace kolu
