#pragma once

#include "model/Error.h"

namespace kolu {

// The wallpaper failures the user sees; each case carries its sentence.
class WallpaperServiceError : public Error {
public:
    enum class Case { noImageFound, invalidImageData, screenUnavailable, libraryDownloadFailed };

    explicit WallpaperServiceError(Case which);
    ~WallpaperServiceError() override;

    Case which() const { return m_case; }

    static QString errorDescription(Case which);

private:
    Case m_case;
};

} // namespace kolu
