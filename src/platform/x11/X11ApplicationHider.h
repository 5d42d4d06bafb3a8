#pragma once

#include "platform/windowing/ApplicationHider.h"

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace kolu {

// Hides other applications through the window manager's client list
// (EWMH): every normal window of another process is asked to become iconic
// (ICCCM WM_CHANGE_STATE), and applications are counted by their process id
// (_NET_WM_PID). Windows of `ownPid`, docks, desktops, dialogs and the like
// stay as they are.
class X11ApplicationHider final : public ApplicationHider {
public:
    // `displayName` empty means the display of the environment.
    explicit X11ApplicationHider(const QByteArray &displayName = {}, qint64 ownPid = currentPid());
    ~X11ApplicationHider() override;

    X11ApplicationHider(const X11ApplicationHider &) = delete;
    X11ApplicationHider &operator=(const X11ApplicationHider &) = delete;

    // Whether the display could be opened at all.
    bool isConnected() const;

    bool isAvailable() const override;
    int hideOtherApplications() override;

    static qint64 currentPid();

private:
    std::uint32_t atom(const char *name) const;
    // A property's 32-bit items, empty when absent or of another shape.
    std::vector<std::uint32_t> property32(std::uint32_t window, std::uint32_t property, std::uint32_t type) const;
    bool isNormalWindow(std::uint32_t window) const;
    bool isHidden(std::uint32_t window) const;
    bool requestIconic(std::uint32_t window);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    qint64 m_ownPid = 0;
    mutable QHash<QByteArray, std::uint32_t> m_atoms;
};

} // namespace kolu
