#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The settings window on each page, the row kit, and each onboarding page.
std::vector<View> settingsViews();

} // namespace kolu::gallery
