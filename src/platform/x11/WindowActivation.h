#pragma once

#include <QtGlobal>

class QWindow;

namespace kolu {

// Asks the window manager to bring a shown window to the front for an
// explicit user request (a tray menu item, a settings button). A request that arrives
// through the tray host carries no input event of ours, so a window
// manager's focus-stealing prevention would refuse the ordinary request and
// only mark the window urgent; on X11 the request is sent the way a pager
// or taskbar sends it, which window managers honour. Elsewhere it does
// nothing beyond the platform's own activation (QWidget::activateWindow).
void requestUserActivation(QWindow *window);

// The window the window manager shows as active (_NET_ACTIVE_WINDOW), or 0
// when there is none or the platform is not X11.
quint32 activeWindowId();

// Hands the keyboard from one of this program's windows to `window` (the
// one that had it before), asked for as requestUserActivation asks. When
// `window` is 0 or no longer exists, no window keeps the keyboard. Nothing
// happens where the platform is not X11.
void handKeyboardTo(quint32 window);

} // namespace kolu
