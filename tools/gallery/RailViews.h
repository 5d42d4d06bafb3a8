#pragma once

#include "GalleryViews.h"

namespace kolu::gallery {

// The status-bar menu, then the collapsed rails at each edge: at rest, with
// the clipboard pulse and with each of the four alerts.
void appendRailViews(std::vector<View> &views);

} // namespace kolu::gallery
