#pragma once

#include "platform/media/AudioPlayer.h"

#include <QUrl>

#include <memory>

using GstElement = struct _GstElement;

namespace kolu {

// A local sound file played over and over with no seam between the passes.
//
// GStreamer's playbin is told to queue the same file again each time it is
// about to finish, so the next pass is decoded while this one still plays and
// its first sample follows this pass's last one directly: nothing is flushed,
// nothing restarts, and the output never runs dry. (Seeking back to the start
// at the end, as a media player's loop does, leaves a hole at every pass.)
// The file must decode to exactly the samples it holds, as FLAC or WAV does.
class LoopingAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    // Plays `source` into `sink` (the pipeline takes it over), or into the
    // desktop's default output when it is null. Nothing opens before play().
    explicit LoopingAudioPlayer(const QUrl &source, GstElement *sink = nullptr, QObject *parent = nullptr);
    ~LoopingAudioPlayer() override;

    void play() override;
    void pause() override;
    void stop() override;

    void setVolume(double volume) override;
    double volume() const override { return m_volume; }

    ItemStatus itemStatus() const override { return m_item; }
    TimeControlStatus timeControlStatus() const override { return m_timeControl; }
    bool isPlaying() const override { return m_wantsToPlay && m_item != ItemStatus::Failed; }
    QString errorString() const override { return m_error; }

    // How many times the file has been queued behind itself.
    int passesQueued() const;

private:
    struct Pipeline;

    void onStateReached(int state);
    void onEndOfStream();
    void fail(const QString &message);
    void setItemStatus(ItemStatus status);
    void updateTimeControl();

    std::unique_ptr<Pipeline> m_pipeline;
    double m_volume = 1.0;
    bool m_wantsToPlay = false;
    bool m_reachedPlaying = false;
    ItemStatus m_item = ItemStatus::Unknown;
    TimeControlStatus m_timeControl = TimeControlStatus::Paused;
    QString m_error;
};

} // namespace kolu
