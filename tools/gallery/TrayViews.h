#pragma once

#include "GalleryViews.h"

namespace kolu::gallery {

// The tray card: empty, with few and many held files, a full clipboard
// history of every kind, a hovering drag and a share status line.
std::vector<View> trayViews();

} // namespace kolu::gallery
