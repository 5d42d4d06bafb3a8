#pragma once

#include "platform/media/AudioPlayer.h"

namespace kolu {

// QMediaPlayer with a QAudioOutput on the default output device; a looping
// local file is a LoopingAudioPlayer.
class MediaAudioPlayerFactory final : public AudioPlayerFactory {
public:
    std::unique_ptr<AudioPlayer> create(const QUrl &source, bool loops) override;

    static MediaAudioPlayerFactory &instance();
};

} // namespace kolu
