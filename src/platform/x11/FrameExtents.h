#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>
#include <QPointer>

#include <optional>

class QWindow;

namespace kolu {

// The window manager's decorations around one top-level window, as its
// _NET_FRAME_EXTENTS tell them, in the window's logical pixels. Made before
// the window is mapped, it asks the manager for them at once
// (_NET_REQUEST_FRAME_EXTENTS), so that they may be known before the window
// shows; it tells each time the manager sets them. Off X11, or under a
// manager that keeps no such property, it never tells.
class FrameExtentsWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // `window` is created (it has its native window) and outlives the watch.
    explicit FrameExtentsWatch(QWindow *window, QObject *parent = nullptr);
    ~FrameExtentsWatch() override;

    // The last extents read; none until the manager has set them.
    std::optional<QMargins> extents() const { return m_extents; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // Emitted from the event loop once the new extents are read.
    void changed(QMargins extents);

private:
    void read();

    QPointer<QWindow> m_window;
    void *m_connection = nullptr; // xcb_connection_t
    quint32 m_id = 0;
    quint32 m_property = 0;
    std::optional<QMargins> m_extents;
};

} // namespace kolu
