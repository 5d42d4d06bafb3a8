#pragma once

namespace kolu {

// Layout values shared by every rail view.
struct RailLayout {
    // 1.25 for the large rail, 1.0 for the standard one. Set by the
    // application state when it loads or changes the rail size; read by the
    // rail views at their next layout.
    static double scaleFactor;
};

} // namespace kolu
