#include "platform/media/AudioPlayer.h"

namespace kolu {

AudioPlayer::~AudioPlayer() = default;
AudioPlayerFactory::~AudioPlayerFactory() = default;

} // namespace kolu
