#include "platform/media/backend/SoundEffectPlayer.h"

#include "platform/media/backend/GstPlaybin.h"

#include <gst/gst.h>

#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace kolu {

namespace {

using gstplaybin::kPlayAudio;
using gstplaybin::kPlaySoftVolume;

} // namespace

// Whom a pipeline's messages are for.
struct SoundEffectPlayer::Target {
    SoundEffectPlayer *player;
    quint64 id;
};

// One sound: its pipeline, and the timer that lets it go.
struct SoundEffectPlayer::Sound {
    quint64 id = 0;
    GstElement *playbin = nullptr;
    ClockTimer *timer = nullptr;

    ~Sound()
    {
        if (timer)
            timer->deleteLater();
        if (!playbin)
            return;
        // Stopping joins the streaming threads; only then may the handler go.
        gst_element_set_state(playbin, GST_STATE_NULL);
        GstBus *bus = gst_element_get_bus(playbin);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(playbin);
    }
};

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
    auto sound = std::make_unique<Sound>();
    sound->id = m_nextId++;
    const quint64 id = sound->id;
    if (gstplaybin::ready())
        sound->playbin = gst_element_factory_make("playbin", nullptr);
    if (sound->playbin) {
        gst_object_ref_sink(sound->playbin);
        const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
        g_object_set(sound->playbin, "uri", uri.constData(), "flags", kPlayAudio | kPlaySoftVolume, "volume",
                     std::clamp(double(volume), 0.0, 1.0), nullptr);
        // On GStreamer's threads: an error or the end lets the sound go, on
        // this object's thread (a sound already gone is not found then). The
        // pipeline is stopped before the player goes, so the player outlives
        // every call; an event still queued then goes with it.
        GstBus *bus = gst_element_get_bus(sound->playbin);
        gst_bus_set_sync_handler(
            bus,
            +[](GstBus *, GstMessage *message, gpointer data) -> GstBusSyncReply {
                const auto type = GST_MESSAGE_TYPE(message);
                if (type == GST_MESSAGE_ERROR || type == GST_MESSAGE_EOS) {
                    const auto *target = static_cast<const Target *>(data);
                    SoundEffectPlayer *player = target->player;
                    const quint64 soundId = target->id;
                    QMetaObject::invokeMethod(
                        player, [player, soundId] { player->release(soundId); }, Qt::QueuedConnection);
                }
                return GST_BUS_DROP;
            },
            new Target{this, id}, +[](gpointer data) { delete static_cast<Target *>(data); });
        gst_object_unref(bus);
        if (gst_element_set_state(sound->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            QMetaObject::invokeMethod(
                this, [this, id] { release(id); }, Qt::QueuedConnection);
    } else {
        QMetaObject::invokeMethod(
            this, [this, id] { release(id); }, Qt::QueuedConnection);
    }

    sound->timer = m_clock.createTimer(this);
    connect(sound->timer, &ClockTimer::timeout, this, [this, id] { release(id); });
    sound->timer->start(retentionFor(path), false);
    m_retained.push_back(std::move(sound));
}

void SoundEffectPlayer::beep()
{
    if (m_beep)
        m_beep();
}

void SoundEffectPlayer::release(quint64 id)
{
    const auto found =
        std::find_if(m_retained.begin(), m_retained.end(), [id](const auto &sound) { return sound->id == id; });
    if (found == m_retained.end())
        return;
    // Out of the list first: stopping may take a moment, and nothing may
    // find the sound meanwhile.
    std::unique_ptr<Sound> sound = std::move(*found);
    m_retained.erase(found);
}

} // namespace kolu
