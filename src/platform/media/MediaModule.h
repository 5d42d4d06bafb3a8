#pragma once

#include "platform/media/MediaBackend.h"

#include <QString>

#include <functional>
#include <memory>

namespace kolu {

// The media stack (Qt Multimedia, GStreamer, libpulse and the codecs they
// pull in) lives in a shared library of its own, libkolu-media.so, found
// beside the program in the build and in lib/kolu when installed. It is loaded by the first sound, stream, loop or mute
// read, so a launch that plays nothing never maps any of it. The makers below hand out services that load it at that
// moment and pass every call on.
namespace MediaModule {

// Loads the module on the first call; null when it cannot be loaded (said
// once on the error output).
const MediaBackend *backend();
bool isLoaded();
QString fileName();

// Loads the module and readies it for sounds; safe on any thread. Null
// when the module cannot be loaded.
const MediaBackend *prepareSounds();

// The first sound loads and readies the module on a worker, which can take
// seconds on a fresh home; sounds asked for meanwhile play, in order, once it
// is ready, all on the calling thread. Without the module a sound is the
// desktop's beep. `prepare` is what the worker runs (tests give their own).
std::unique_ptr<SoundPlayer> makeSoundPlayer(Clock &clock, std::function<void()> beep,
                                             std::function<const MediaBackend *()> prepare = prepareSounds);
// Without the module every stream and loop fails as it opens.
std::unique_ptr<AudioPlayerFactory> makeAudioPlayers();
// Without the module `fallback` answers.
std::unique_ptr<OutputMute> makeOutputMute(std::unique_ptr<OutputMute> fallback);

} // namespace MediaModule

} // namespace kolu
