#pragma once

#include "GalleryViews.h"

namespace kolu::gallery {

// The reminders card under each filter, its empty states and its composer.
std::vector<View> remindersViews();

} // namespace kolu::gallery
