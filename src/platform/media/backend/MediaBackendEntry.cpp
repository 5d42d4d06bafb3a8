// The media module's entry: the table of makers the program asks for when it
// first needs a sound, a stream, a loop or the output mute.
#include "platform/media/MediaBackend.h"

#include "platform/media/backend/GstPlaybin.h"
#include "platform/media/backend/MediaAudioPlayer.h"
#include "platform/media/backend/PulseOutputMute.h"
#include "platform/media/backend/SoundEffectPlayer.h"

namespace {

const kolu::MediaBackend backend{
    kolu::MediaBackend::kVersion,
    [](kolu::Clock &clock, std::function<void()> beep) -> std::unique_ptr<kolu::SoundPlayer> {
        return std::make_unique<kolu::SoundEffectPlayer>(clock, std::move(beep));
    },
    [] { kolu::gstplaybin::prepare(); },
    []() -> std::unique_ptr<kolu::AudioPlayerFactory> { return std::make_unique<kolu::MediaAudioPlayerFactory>(); },
    [](std::unique_ptr<kolu::OutputMute> fallback) -> std::unique_ptr<kolu::OutputMute> {
        return std::make_unique<kolu::PulseOutputMute>(std::move(fallback));
    },
};

} // namespace

extern "C" __attribute__((visibility("default"))) const kolu::MediaBackend *kolu_media_backend()
{
    return &backend;
}
