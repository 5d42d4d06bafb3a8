#pragma once

#include "GalleryViews.h"

#include <vector>

namespace kolu::gallery {

// The Updates page with a configured service, and the Soundscapes page in
// each sound state and with its station editor empty, saved and refusing.
std::vector<View> settingsAudioViews();

} // namespace kolu::gallery
