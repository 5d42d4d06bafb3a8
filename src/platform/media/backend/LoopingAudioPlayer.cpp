#include "platform/media/backend/LoopingAudioPlayer.h"

#include "platform/media/backend/GstPlaybin.h"

#include <gst/gst.h>

#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

using gstplaybin::kPlayAudio;
using gstplaybin::kPlaySoftVolume;

} // namespace

struct LoopingAudioPlayer::Pipeline {
    GstElement *playbin = nullptr;
    QByteArray uri;
    std::atomic<int> passesQueued{0};
};

LoopingAudioPlayer::LoopingAudioPlayer(const QUrl &source, GstElement *sink, QObject *parent)
    : AudioPlayer(parent)
    , m_pipeline(std::make_unique<Pipeline>())
{
    m_pipeline->uri = source.toEncoded();
    if (gstplaybin::ready())
        m_pipeline->playbin = gst_element_factory_make("playbin", nullptr);
    if (!m_pipeline->playbin) {
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        // Reported once the caller has had a chance to listen.
        QMetaObject::invokeMethod(
            this, [this] { fail(u"The audio back end is not available."_s); }, Qt::QueuedConnection);
        return;
    }
    GstElement *playbin = m_pipeline->playbin;
    gst_object_ref_sink(playbin);
    g_object_set(playbin, "uri", m_pipeline->uri.constData(), "flags", kPlayAudio | kPlaySoftVolume, "volume", m_volume,
                 nullptr);
    if (sink)
        g_object_set(playbin, "audio-sink", sink, nullptr);

    // On a streaming thread, once the file has been read to its end: the
    // same file again, to be played on without a break after this pass.
    g_signal_connect(playbin, "about-to-finish", G_CALLBACK(+[](GstElement *element, gpointer data) {
                         auto *pipeline = static_cast<Pipeline *>(data);
                         g_object_set(element, "uri", pipeline->uri.constData(), nullptr);
                         ++pipeline->passesQueued;
                     }),
                     m_pipeline.get());

    // Messages come on GStreamer's threads; what matters of them is copied
    // out and handed to this object's thread. The handler is cleared only
    // after the pipeline has stopped, so `this` outlives every call.
    GstBus *bus = gst_element_get_bus(playbin);
    gst_bus_set_sync_handler(
        bus,
        +[](GstBus *, GstMessage *message, gpointer data) -> GstBusSyncReply {
            auto *self = static_cast<LoopingAudioPlayer *>(data);
            switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_ERROR: {
                GError *error = nullptr;
                gchar *debug = nullptr;
                gst_message_parse_error(message, &error, &debug);
                const QString text = error ? QString::fromUtf8(error->message) : QString();
                g_clear_error(&error);
                g_free(debug);
                QMetaObject::invokeMethod(
                    self, [self, text] { self->fail(text); }, Qt::QueuedConnection);
                break;
            }
            case GST_MESSAGE_STATE_CHANGED:
                if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->m_pipeline->playbin)) {
                    GstState reached = GST_STATE_VOID_PENDING;
                    gst_message_parse_state_changed(message, nullptr, &reached, nullptr);
                    QMetaObject::invokeMethod(
                        self, [self, reached] { self->onStateReached(reached); }, Qt::QueuedConnection);
                }
                break;
            case GST_MESSAGE_EOS:
                QMetaObject::invokeMethod(
                    self, [self] { self->onEndOfStream(); }, Qt::QueuedConnection);
                break;
            default: break;
            }
            return GST_BUS_DROP;
        },
        this, nullptr);
    gst_object_unref(bus);
}

LoopingAudioPlayer::~LoopingAudioPlayer()
{
    GstElement *playbin = m_pipeline->playbin;
    if (!playbin)
        return;
    // Stopping joins the streaming threads; only then may the handlers go.
    gst_element_set_state(playbin, GST_STATE_NULL);
    g_signal_handlers_disconnect_matched(playbin, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, m_pipeline.get());
    GstBus *bus = gst_element_get_bus(playbin);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin);
}

void LoopingAudioPlayer::play()
{
    if (m_item == ItemStatus::Failed || !m_pipeline->playbin)
        return;
    m_wantsToPlay = true;
    if (gst_element_set_state(m_pipeline->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        fail(u"The sound could not be played."_s);
    updateTimeControl();
}

void LoopingAudioPlayer::pause()
{
    m_wantsToPlay = false;
    m_reachedPlaying = false;
    if (m_pipeline->playbin && m_item != ItemStatus::Failed)
        gst_element_set_state(m_pipeline->playbin, GST_STATE_PAUSED);
    updateTimeControl();
}

void LoopingAudioPlayer::stop()
{
    m_wantsToPlay = false;
    m_reachedPlaying = false;
    // Ready: the file is closed and the next play starts from its beginning.
    if (m_pipeline->playbin)
        gst_element_set_state(m_pipeline->playbin, GST_STATE_READY);
    updateTimeControl();
}

void LoopingAudioPlayer::setVolume(double volume)
{
    m_volume = std::isfinite(volume) ? std::clamp(volume, 0.0, 1.0) : 0.0;
    if (m_pipeline->playbin)
        g_object_set(m_pipeline->playbin, "volume", m_volume, nullptr);
}

int LoopingAudioPlayer::passesQueued() const
{
    return m_pipeline->passesQueued.load();
}

void LoopingAudioPlayer::onStateReached(int state)
{
    if (state >= GST_STATE_PAUSED)
        setItemStatus(ItemStatus::ReadyToPlay);
    m_reachedPlaying = m_wantsToPlay && state == GST_STATE_PLAYING;
    updateTimeControl();
}

void LoopingAudioPlayer::onEndOfStream()
{
    // The next pass was not queued in time (the file could not be read
    // again, say): start over, with the break that cannot be helped then.
    if (m_wantsToPlay && m_item != ItemStatus::Failed)
        gst_element_seek_simple(m_pipeline->playbin, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

void LoopingAudioPlayer::fail(const QString &message)
{
    if (m_item == ItemStatus::Failed)
        return;
    m_error = message.isEmpty() ? u"The sound could not be played."_s : message;
    setItemStatus(ItemStatus::Failed);
    if (m_pipeline->playbin)
        gst_element_set_state(m_pipeline->playbin, GST_STATE_READY);
    updateTimeControl();
}

void LoopingAudioPlayer::setItemStatus(ItemStatus status)
{
    if (m_item == status || m_item == ItemStatus::Failed)
        return;
    m_item = status;
    Q_EMIT itemStatusChanged();
}

void LoopingAudioPlayer::updateTimeControl()
{
    TimeControlStatus next = TimeControlStatus::Paused;
    if (m_wantsToPlay && m_item != ItemStatus::Failed)
        next = m_reachedPlaying ? TimeControlStatus::Playing : TimeControlStatus::WaitingToPlay;
    if (next == m_timeControl)
        return;
    m_timeControl = next;
    Q_EMIT timeControlStatusChanged();
}

} // namespace kolu
