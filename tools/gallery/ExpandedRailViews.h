#pragma once

#include "GalleryViews.h"

namespace kolu::gallery {

// The expanded rails at each edge, with few and many modules and with alerts.
std::vector<View> expandedRailViews();

} // namespace kolu::gallery
