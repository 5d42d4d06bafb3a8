#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The Wallpapers card and the now-playing hero.
std::vector<View> mediaViews();

} // namespace kolu::gallery
