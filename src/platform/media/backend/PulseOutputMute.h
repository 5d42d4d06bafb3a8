#pragma once

#include "platform/media/OutputMute.h"

#include <QByteArray>
#include <QObject>

#include <memory>

struct pa_context;
struct pa_glib_mainloop;
struct pa_sink_info;

namespace kolu {

// The output mute through one long-lived connection to the sound server
// (PulseAudio, or PipeWire through its PulseAudio protocol). The mute state
// of the default sink is followed as the server announces changes, so a read
// costs nothing. The connection runs on GLib's main loop, which Qt's event
// loop drives. Where no connection can be made from here (an event loop that
// is not GLib's), `fallback` answers instead. Where no server answers, a read
// says "not muted" at once and tries the server again for the next one: the
// command-line client would find no server either, at the cost of a child
// process per read. Nothing connects before the first read or toggle.
class PulseOutputMute final : public QObject, public OutputMute {
    Q_OBJECT

public:
    // `server` is the server's address as libpulse takes it; empty means the
    // user's default server.
    explicit PulseOutputMute(std::unique_ptr<OutputMute> fallback, QByteArray server = {}, QObject *parent = nullptr);
    ~PulseOutputMute() override;

    QCoro::Task<bool> isMuted() override;
    QCoro::Task<> toggle() override;

    // True once the server has told the default sink's state.
    bool isFollowing() const { return m_state == State::following; }

Q_SIGNALS:
    // The server told the default sink's state, or the connection ended.
    void stateSettled();

private:
    // `unavailable`: no connection can be made from here; `noServer`: none
    // answered.
    enum class State { notStarted, connecting, connected, following, unavailable, noServer };

    void connectToServer();
    void disconnectFromServer();
    void askDefaultSink();
    void settle(State state);

    static void onContextState(pa_context *context, void *self);
    static void onEvent(pa_context *context, int type, unsigned index, void *self);
    static void onSinkInfo(pa_context *context, const pa_sink_info *info, int eol, void *self);
    static void onMuteSet(pa_context *context, int success, void *self);

    std::unique_ptr<OutputMute> m_fallback;
    QByteArray m_server;
    pa_glib_mainloop *m_mainloop = nullptr;
    pa_context *m_context = nullptr;
    State m_state = State::notStarted;
    bool m_muted = false;
};

} // namespace kolu
