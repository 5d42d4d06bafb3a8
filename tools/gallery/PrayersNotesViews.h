#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The prayers and notes cards: full, loading, empty, failed, long names.
std::vector<View> prayersNotesViews();

} // namespace kolu::gallery
