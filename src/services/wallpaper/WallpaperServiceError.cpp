#include "services/wallpaper/WallpaperServiceError.h"

using namespace Qt::StringLiterals;

namespace kolu {

WallpaperServiceError::WallpaperServiceError(Case which)
    : Error(errorDescription(which))
    , m_case(which)
{
}

WallpaperServiceError::~WallpaperServiceError() = default;

QString WallpaperServiceError::errorDescription(Case which)
{
    switch (which) {
    case Case::noImageFound: return u"No wallpaper images were found."_s;
    case Case::invalidImageData: return u"The wallpaper image could not be loaded."_s;
    case Case::screenUnavailable: return u"Kolu could not find a display to update."_s;
    case Case::libraryDownloadFailed: return u"Kolu could not refresh the wallpaper library."_s;
    }
    return {};
}

} // namespace kolu
