#pragma once

#include "platform/media/SoundPlayer.h"

#include <QString>

#include <utility>
#include <vector>

namespace kolu::test {

// Records each sound it is asked to play instead of playing it.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &path, float volume) override { played.emplace_back(path, volume); }
    void beep() override { ++beeps; }

    std::vector<std::pair<QString, float>> played;
    int beeps = 0;
};

} // namespace kolu::test
