#pragma once

#include "model/Error.h"

namespace kolu {

// The wallpaper failures the user sees.
enum class WallpaperErrorCase { noImageFound, invalidImageData, screenUnavailable, libraryDownloadFailed };
QString errorSentence(WallpaperErrorCase which);
using WallpaperServiceError = ServiceError<WallpaperErrorCase>;

} // namespace kolu
