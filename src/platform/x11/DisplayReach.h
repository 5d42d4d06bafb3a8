#pragma once

namespace kolu {

// Whether an X server answers on `display` (an X11 display name such as
// ":0" or "localhost:10.0"; null means the DISPLAY variable). Opens a
// connection of its own and closes it at once: Qt's X11 platform aborts the
// program, with a core dump, when it cannot connect, so this is asked before
// it is started.
bool x11DisplayAnswers(const char *display);

} // namespace kolu
