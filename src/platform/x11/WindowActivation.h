#pragma once

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

} // namespace kolu
