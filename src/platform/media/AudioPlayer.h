#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

namespace kolu {

// One audio source played through the desktop's sound output: a live radio
// stream or an ambient loop. The two states are what the radio's state
// machine watches: whether the source could be opened at all, and whether
// sound is coming out, is being waited for, or is held.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    enum class ItemStatus {
        Unknown,     // still opening the source
        ReadyToPlay, // the source opened and can be played
        Failed,      // the source could not be opened, or it died while playing
    };

    enum class TimeControlStatus {
        Paused,        // not asked to play, stopped at the end, or failed
        WaitingToPlay, // asked to play but waiting for data
        Playing,       // sound is coming out
    };

    using QObject::QObject;
    ~AudioPlayer() override;

    virtual void play() = 0;
    virtual void pause() = 0;
    // Stops and goes back to the start.
    virtual void stop() = 0;

    // Linear gain, 0...1; values outside are clamped.
    virtual void setVolume(double volume) = 0;
    virtual double volume() const = 0;

    virtual ItemStatus itemStatus() const = 0;
    virtual TimeControlStatus timeControlStatus() const = 0;
    // Asked to play and not failed.
    virtual bool isPlaying() const = 0;
    // The backend's own words for the failure; empty while nothing failed.
    virtual QString errorString() const = 0;

Q_SIGNALS:
    // Emitted after the value has changed; a failure is reported once.
    void itemStatusChanged();
    void timeControlStatusChanged();
};

// Makes players, so that services can be handed a fake one in tests.
class AudioPlayerFactory {
public:
    virtual ~AudioPlayerFactory();

    // A new player for `source`, not yet playing. When `loops` is set the
    // source starts again from the beginning each time it ends; a local file
    // then runs on into its next pass without a break. Returns
    // nullptr when a local file cannot be opened for reading; every other
    // failure is reported later through the item status.
    virtual std::unique_ptr<AudioPlayer> create(const QUrl &source, bool loops) = 0;
};

} // namespace kolu
