#pragma once

#include <QString>

namespace kolu {

// Plays short sound files. Several may play at once.
class SoundPlayer {
public:
    virtual ~SoundPlayer();

    // Plays the WAV file at `path` at `volume` (0 ... 1). A file that cannot
    // be played plays nothing.
    virtual void play(const QString &path, float volume) = 0;
    // The desktop's warning beep, for when no sound file can be had.
    virtual void beep() = 0;
};

} // namespace kolu
