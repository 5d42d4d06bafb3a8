#pragma once

#include "platform/media/AudioPlayer.h"

namespace kolu {

// What a stream or loop is without the audio back end: it fails as it opens.
class NullAudioPlayer final : public AudioPlayer {
public:
    NullAudioPlayer();

    void play() override { }
    void pause() override { }
    void stop() override { }
    void setVolume(double volume) override { m_volume = volume; }
    double volume() const override { return m_volume; }
    ItemStatus itemStatus() const override { return m_item; }
    TimeControlStatus timeControlStatus() const override { return TimeControlStatus::Paused; }
    bool isPlaying() const override { return false; }
    QString errorString() const override;

private:
    ItemStatus m_item = ItemStatus::Unknown;
    double m_volume = 1.0;
};

} // namespace kolu
