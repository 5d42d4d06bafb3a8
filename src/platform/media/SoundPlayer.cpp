#include "platform/media/SoundPlayer.h"

namespace kolu {

SoundPlayer::~SoundPlayer() = default;

} // namespace kolu
