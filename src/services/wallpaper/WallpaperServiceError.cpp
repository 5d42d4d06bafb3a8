#include "services/wallpaper/WallpaperServiceError.h"

using namespace Qt::StringLiterals;

namespace kolu {

QString errorSentence(WallpaperErrorCase which)
{
    switch (which) {
    case WallpaperErrorCase::noImageFound:
        return u"No wallpaper images were found. Choose another folder or library."_s;
    case WallpaperErrorCase::invalidImageData:
        return u"The wallpaper image could not be loaded. Try another picture."_s;
    case WallpaperErrorCase::screenUnavailable: return u"Kolu could not find a display to update."_s;
    case WallpaperErrorCase::libraryDownloadFailed:
        return u"Kolu could not refresh the wallpaper library. Try again later."_s;
    }
    return {};
}

} // namespace kolu
