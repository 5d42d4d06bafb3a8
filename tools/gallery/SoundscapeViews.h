#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The Now Playing card: the summary row, the hero, the Ambient section and
// the radio in their states.
std::vector<View> soundscapeViews();

} // namespace kolu::gallery
