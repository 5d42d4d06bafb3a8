#include "platform/media/backend/MediaAudioPlayer.h"

#include "platform/media/backend/LoopingAudioPlayer.h"

#include <QAudioOutput>
#include <QFile>
#include <QMediaPlayer>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

double clampedVolume(double volume)
{
    if (!std::isfinite(volume))
        return 0.0;
    return std::clamp(volume, 0.0, 1.0);
}

// QMediaPlayer speaks of a playback state and a media status; the two states
// of AudioPlayer are read off them. A failure is latched: the GStreamer back
// end reports one dead stream with several errors in a row.
class MediaAudioPlayer final : public AudioPlayer {
public:
    MediaAudioPlayer(const QUrl &source, bool loops)
    {
        m_player.setAudioOutput(&m_output);
        if (loops)
            m_player.setLoops(QMediaPlayer::Infinite);
        connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &MediaAudioPlayer::onMediaStatusChanged);
        connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &MediaAudioPlayer::updateTimeControl);
        connect(&m_player, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error, const QString &message) { fail(message); });
        m_player.setSource(source);
    }

    ~MediaAudioPlayer() override
    {
        // Disconnect first: stopping must not call back into a half-destroyed object.
        m_player.disconnect(this);
        m_player.stop();
    }

    void play() override
    {
        if (m_item == ItemStatus::Failed)
            return;
        m_player.play();
        updateTimeControl();
    }

    void pause() override
    {
        m_player.pause();
        updateTimeControl();
    }

    void stop() override
    {
        m_player.stop();
        updateTimeControl();
    }

    void setVolume(double volume) override { m_output.setVolume(static_cast<float>(clampedVolume(volume))); }
    double volume() const override { return m_output.volume(); }

    ItemStatus itemStatus() const override { return m_item; }
    TimeControlStatus timeControlStatus() const override { return m_timeControl; }
    bool isPlaying() const override
    {
        return m_item != ItemStatus::Failed && m_player.playbackState() == QMediaPlayer::PlayingState;
    }
    QString errorString() const override { return m_error; }

private:
    void onMediaStatusChanged(QMediaPlayer::MediaStatus status)
    {
        switch (status) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
        case QMediaPlayer::EndOfMedia: setItemStatus(ItemStatus::ReadyToPlay); break;
        case QMediaPlayer::InvalidMedia: fail(m_player.errorString()); break;
        case QMediaPlayer::NoMedia:
        case QMediaPlayer::LoadingMedia:
        case QMediaPlayer::StalledMedia: break;
        }
        updateTimeControl();
    }

    void fail(const QString &message)
    {
        if (m_item == ItemStatus::Failed)
            return;
        m_error = message.isEmpty() ? u"The stream could not be played."_s : message;
        setItemStatus(ItemStatus::Failed);
        updateTimeControl();
        // Let the pipeline give up its connection; queued, because we may be
        // inside one of its own signals.
        QMetaObject::invokeMethod(
            this, [this] { m_player.stop(); }, Qt::QueuedConnection);
    }

    void setItemStatus(ItemStatus status)
    {
        if (m_item == status || m_item == ItemStatus::Failed)
            return;
        m_item = status;
        Q_EMIT itemStatusChanged();
    }

    TimeControlStatus currentTimeControl() const
    {
        if (m_item == ItemStatus::Failed || m_player.playbackState() != QMediaPlayer::PlayingState)
            return TimeControlStatus::Paused;
        switch (m_player.mediaStatus()) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia: return TimeControlStatus::Playing;
        case QMediaPlayer::EndOfMedia:
        case QMediaPlayer::InvalidMedia: return TimeControlStatus::Paused;
        case QMediaPlayer::NoMedia:
        case QMediaPlayer::LoadingMedia:
        case QMediaPlayer::StalledMedia: break;
        }
        return TimeControlStatus::WaitingToPlay;
    }

    void updateTimeControl()
    {
        const TimeControlStatus next = currentTimeControl();
        if (next == m_timeControl)
            return;
        m_timeControl = next;
        Q_EMIT timeControlStatusChanged();
    }

    // The output outlives the player that sends into it.
    QAudioOutput m_output;
    QMediaPlayer m_player;
    ItemStatus m_item = ItemStatus::Unknown;
    TimeControlStatus m_timeControl = TimeControlStatus::Paused;
    QString m_error;
};

} // namespace

std::unique_ptr<AudioPlayer> MediaAudioPlayerFactory::create(const QUrl &source, bool loops)
{
    if (source.isLocalFile()) {
        QFile file(source.toLocalFile());
        if (!file.open(QIODevice::ReadOnly))
            return nullptr;
    }
    // A loop goes straight to GStreamer, which runs each pass on into the
    // next; the media player's own loop starts over with a break.
    if (loops && source.isLocalFile())
        return std::make_unique<LoopingAudioPlayer>(source);
    return std::make_unique<MediaAudioPlayer>(source, loops);
}

MediaAudioPlayerFactory &MediaAudioPlayerFactory::instance()
{
    static MediaAudioPlayerFactory factory;
    return factory;
}

} // namespace kolu
