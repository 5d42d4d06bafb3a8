#include "platform/media/backend/PulseOutputMute.h"

#include <QAbstractEventDispatcher>

#include <qcoro/qcorosignal.h>

#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>

namespace kolu {

namespace {

constexpr char defaultSink[] = "@DEFAULT_SINK@";

// How long a refresh that comes while the connection is still being made
// waits for the first answer. The server answers in a few milliseconds; the
// players are read meanwhile, so this rarely costs anything.
constexpr std::chrono::milliseconds firstAnswerBound{300};

// libpulse's GLib main loop only runs when Qt's event loop is GLib's.
bool eventLoopIsGlib()
{
    const QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher != nullptr && dispatcher->inherits("QEventDispatcherGlib");
}

} // namespace

PulseOutputMute::PulseOutputMute(std::unique_ptr<OutputMute> fallback, QByteArray server, QObject *parent)
    : QObject(parent)
    , m_fallback(std::move(fallback))
    , m_server(std::move(server))
{
    // The connection is opened by the first read, not at launch.
}

PulseOutputMute::~PulseOutputMute()
{
    disconnectFromServer();
}

void PulseOutputMute::connectToServer()
{
    disconnectFromServer();
    m_state = State::unavailable;
    if (!eventLoopIsGlib())
        return;
    m_mainloop = pa_glib_mainloop_new(nullptr);
    if (m_mainloop == nullptr)
        return;
    m_context = pa_context_new(pa_glib_mainloop_get_api(m_mainloop), "Kolu");
    if (m_context == nullptr)
        return;
    pa_context_set_state_callback(m_context, &PulseOutputMute::onContextState, this);
    pa_context_set_subscribe_callback(
        m_context,
        [](pa_context *context, pa_subscription_event_type_t type, uint32_t index, void *self) {
            onEvent(context, int(type), index, self);
        },
        this);
    // Never start a sound server of our own: with none running, the
    // command-line client answers.
    m_state = State::connecting;
    if (pa_context_connect(m_context, m_server.isEmpty() ? nullptr : m_server.constData(), PA_CONTEXT_NOAUTOSPAWN,
                           nullptr)
        < 0)
        m_state = State::noServer;
}

void PulseOutputMute::disconnectFromServer()
{
    if (m_context != nullptr) {
        // No callback may reach this object once it lets go of the context.
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_mainloop != nullptr) {
        pa_glib_mainloop_free(m_mainloop);
        m_mainloop = nullptr;
    }
}

void PulseOutputMute::settle(State state)
{
    m_state = state;
    Q_EMIT stateSettled();
}

void PulseOutputMute::askDefaultSink()
{
    if (pa_operation *operation =
            pa_context_get_sink_info_by_name(m_context, defaultSink, &PulseOutputMute::onSinkInfo, this))
        pa_operation_unref(operation);
}

void PulseOutputMute::onContextState(pa_context *context, void *self)
{
    auto *mute = static_cast<PulseOutputMute *>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        mute->m_state = State::connected;
        const auto mask = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER);
        if (pa_operation *operation = pa_context_subscribe(context, mask, nullptr, nullptr))
            pa_operation_unref(operation);
        mute->askDefaultSink();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        mute->m_muted = false;
        mute->settle(State::noServer);
        break;
    default: break;
    }
}

void PulseOutputMute::onEvent(pa_context *, int type, unsigned, void *self)
{
    // A change of any sink, or of the server's default sink: ask again. The
    // answer is one small message.
    const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SERVER)
        static_cast<PulseOutputMute *>(self)->askDefaultSink();
}

void PulseOutputMute::onSinkInfo(pa_context *, const pa_sink_info *info, int eol, void *self)
{
    auto *mute = static_cast<PulseOutputMute *>(self);
    if (info != nullptr) {
        mute->m_muted = info->mute != 0;
        mute->settle(State::following);
    } else if (eol < 0) {
        // No default sink: nothing to mute.
        mute->m_muted = false;
        mute->settle(State::following);
    }
}

void PulseOutputMute::onMuteSet(pa_context *, int success, void *self)
{
    if (!success)
        static_cast<PulseOutputMute *>(self)->askDefaultSink();
}

QCoro::Task<bool> PulseOutputMute::isMuted()
{
    if (m_state == State::notStarted) {
        connectToServer();
    } else if (m_state == State::noServer) {
        // The server may have come (back) since; the next read will know.
        connectToServer();
        co_return false;
    }
    if (m_state == State::unavailable)
        co_return co_await m_fallback->isMuted();
    if (m_state == State::connecting || m_state == State::connected)
        co_await qCoro(this, &PulseOutputMute::stateSettled, firstAnswerBound);
    if (m_state == State::unavailable)
        co_return co_await m_fallback->isMuted();
    // Still connecting after the bound, or no server: not known, so not muted.
    if (m_state != State::following)
        co_return false;
    co_return m_muted;
}

QCoro::Task<> PulseOutputMute::toggle()
{
    if (m_state != State::following) {
        if (m_state == State::notStarted)
            connectToServer();
        co_await m_fallback->toggle();
        co_return;
    }
    // The new state counts at once, so a read right after shows it; the
    // server's announcement confirms it, and a refusal is asked about again.
    m_muted = !m_muted;
    if (pa_operation *operation =
            pa_context_set_sink_mute_by_name(m_context, defaultSink, m_muted, &PulseOutputMute::onMuteSet, this))
        pa_operation_unref(operation);
}

} // namespace kolu
