#pragma once

namespace kolu {
namespace test {
class ManualClock;
}

class AppState;

namespace gallery {

// One application state shared by every view of the gallery: the real
// services over offline fakes (a temporary home, a local server nobody asks,
// recording stand-ins for processes, notifications and sound), on a manual
// clock pinned to a fixed moment. Nothing is started: no tick, no refresh.
// A view sets the published fields it shows before it builds its widget, and
// sets every field it relies on, since an earlier view may have changed it.
AppState &state();
test::ManualClock &clock();

} // namespace gallery
} // namespace kolu
