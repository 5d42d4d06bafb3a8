#pragma once

#include "model/Clock.h"
#include "platform/media/SoundPlayer.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace kolu {

// Plays sound files, each through a GStreamer pipeline of its own, keeping
// each sound until it has had time to finish. Every pipeline is stopped (its
// threads joined) when its sound is let go, so nothing of a sound outlives
// its release or this player.
class SoundEffectPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    // `beep` makes the desktop's warning beep; the application passes the
    // widget layer's beep, which this layer cannot reach.
    explicit SoundEffectPlayer(Clock &clock, std::function<void()> beep = {}, QObject *parent = nullptr);
    ~SoundEffectPlayer() override;

    void play(const QString &path, float volume) override;
    void beep() override;

    // Sounds that are playing or waiting for their release.
    int retainedSoundCount() const { return static_cast<int>(m_retained.size()); }

    // How long a sound is kept: its length plus 0.4 s, or 4 s when the
    // length is unknown.
    static std::chrono::milliseconds retentionFor(const QString &path);

private:
    struct Sound;
    struct Target;

    void release(quint64 id);

    Clock &m_clock;
    std::function<void()> m_beep;
    std::vector<std::unique_ptr<Sound>> m_retained;
    quint64 m_nextId = 1;
};

} // namespace kolu
