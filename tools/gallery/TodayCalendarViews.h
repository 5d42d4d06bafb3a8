#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The today and calendar cards: empty, one event, a full week, a meeting
// happening now, long titles and locations.
std::vector<View> todayCalendarViews();

} // namespace kolu::gallery
