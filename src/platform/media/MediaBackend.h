#pragma once

#include <functional>
#include <memory>

namespace kolu {

class AudioPlayerFactory;
class Clock;
class OutputMute;
class SoundPlayer;

// What the media module hands the program: one maker for each media service.
// The module is built with the program and refused when its table is of
// another version.
struct MediaBackend {
    static constexpr int kVersion = 2;

    int version;
    // Sounds: `beep` is the desktop's warning beep.
    std::unique_ptr<SoundPlayer> (*makeSoundPlayer)(Clock &clock, std::function<void()> beep);
    // Readies what the first sound needs and may take seconds (the sound
    // library's start, which on a fresh home builds its plugin cache): safe
    // on any thread, and called on a worker before the first sound.
    void (*prepareSounds)();
    // Streams and loops.
    std::unique_ptr<AudioPlayerFactory> (*makeAudioPlayers)();
    // The output mute through the sound server; `fallback` answers where no
    // connection can be made.
    std::unique_ptr<OutputMute> (*makeOutputMute)(std::unique_ptr<OutputMute> fallback);
};

// The one symbol the module exports: a function returning its table.
inline constexpr char kMediaBackendEntry[] = "kolu_media_backend";

} // namespace kolu
