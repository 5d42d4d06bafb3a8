#pragma once

#include "platform/media/AudioPlayer.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace kolu::test {

// A player that does only what the test tells it: the test sets its two
// states and looks at what the code under test asked of it.
class FakeAudioPlayer final : public AudioPlayer {
public:
    FakeAudioPlayer(QUrl source, bool loops)
        : source(std::move(source))
        , loops(loops)
    {
    }

    void play() override
    {
        ++playCalls;
        playRequested = true;
    }
    void pause() override { playRequested = false; }
    void stop() override { playRequested = false; }
    void setVolume(double value) override { currentVolume = std::clamp(value, 0.0, 1.0); }
    double volume() const override { return currentVolume; }
    ItemStatus itemStatus() const override { return item; }
    TimeControlStatus timeControlStatus() const override { return timeControl; }
    bool isPlaying() const override { return playRequested && item != ItemStatus::Failed; }
    QString errorString() const override { return item == ItemStatus::Failed ? QStringLiteral("failed") : QString(); }

    // What the back end would report.
    void report(ItemStatus status)
    {
        item = status;
        Q_EMIT itemStatusChanged();
    }
    void report(TimeControlStatus status)
    {
        timeControl = status;
        Q_EMIT timeControlStatusChanged();
    }

    QUrl source;
    bool loops = false;
    int playCalls = 0;
    bool playRequested = false;
    double currentVolume = 1.0;
    ItemStatus item = ItemStatus::Unknown;
    TimeControlStatus timeControl = TimeControlStatus::Paused;
};

class FakeAudioPlayerFactory final : public AudioPlayerFactory {
public:
    std::unique_ptr<AudioPlayer> create(const QUrl &source, bool loops) override
    {
        requested.append(source);
        if (unopenable.contains(source))
            return nullptr;
        auto player = std::make_unique<FakeAudioPlayer>(source, loops);
        created.append(player.get());
        return player;
    }

    // The last player made; null once it is gone.
    FakeAudioPlayer *last() const { return created.isEmpty() ? nullptr : created.last().data(); }
    int liveCount() const
    {
        return static_cast<int>(
            std::count_if(created.begin(), created.end(), [](const auto &p) { return !p.isNull(); }));
    }

    QList<QUrl> requested;
    QList<QPointer<FakeAudioPlayer>> created;
    QSet<QUrl> unopenable;
};

} // namespace kolu::test
