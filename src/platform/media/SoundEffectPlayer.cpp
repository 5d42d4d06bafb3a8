#include "platform/media/SoundEffectPlayer.h"

#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

namespace kolu {

SoundPlayer::~SoundPlayer() = default;

SoundEffectPlayer::SoundEffectPlayer(Clock &clock, std::function<void()> beep, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_beep(std::move(beep))
{
}

SoundEffectPlayer::~SoundEffectPlayer() = default;

std::chrono::milliseconds SoundEffectPlayer::retentionFor(const QString &path)
{
    // The files played here are 16-bit mono PCM at 44100 Hz behind a 44-byte
    // header, so the length follows from the size.
    const qint64 dataBytes = QFileInfo(path).size() - 44;
    if (dataBytes <= 0)
        return std::chrono::milliseconds(4000);
    return std::chrono::milliseconds(dataBytes * 1000 / (44100 * 2) + 400);
}

void SoundEffectPlayer::play(const QString &path, float volume)
{
    auto *sound = new QSoundEffect(this);
    m_retained.push_back(sound);
    QPointer<QSoundEffect> guard(sound);
    connect(sound, &QSoundEffect::statusChanged, this, [this, guard] {
        if (!guard)
            return;
        if (guard->status() == QSoundEffect::Ready && !guard->isPlaying())
            guard->play();
        else if (guard->status() == QSoundEffect::Error)
            release(guard);
    });
    sound->setVolume(volume);
    sound->setSource(QUrl::fromLocalFile(path));

    ClockTimer *timer = m_clock.createTimer(sound);
    connect(timer, &ClockTimer::timeout, this, [this, guard] {
        if (guard)
            release(guard);
    });
    timer->start(retentionFor(path), false);
}

void SoundEffectPlayer::beep()
{
    if (m_beep)
        m_beep();
}

void SoundEffectPlayer::release(QSoundEffect *sound)
{
    const auto found = std::find(m_retained.begin(), m_retained.end(), sound);
    if (found == m_retained.end())
        return;
    m_retained.erase(found);
    sound->stop();
    sound->deleteLater();
}

} // namespace kolu
