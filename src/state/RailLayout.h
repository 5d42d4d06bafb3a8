#pragma once

#include "model/Enums.h"

namespace kolu {

// Layout values shared by every rail view.
struct RailLayout {
    // The scale of the rail views: 1.25 for the large rail, 1.0 for the
    // standard one.
    static constexpr double scaleFactor(RailSize size) { return size == RailSize::large ? 1.25 : 1.0; }
};

} // namespace kolu
