#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The favourite links card in the detail panel: empty, full with long and
// non-Latin names, the composer open, the search-site menu open; and the
// whole card, however tall, at both rail sizes.
std::vector<View> linksViews();

} // namespace kolu::gallery
