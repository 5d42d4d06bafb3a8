#pragma once

#include "model/Records.h"

#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>
#include <utility>
#include <vector>

namespace kolu {

// Finds the brand icon of a saved link's site among the SVG files that ship
// with the program (":/BrandIcons/<slug>.svg"; from a source checkout,
// "Resources/BrandIcons/<slug>.svg" below the current folder), loads each
// once and keeps it for the life of the process. Used from the main thread.
//
// The alias table (site → icon slug) ships empty: no brand artwork is
// bundled, so every tile shows its monogram. A row added here needs its
// SVG beside it, taken unaltered from a source whose licence allows it.
class BrandIconLibrary {
public:
    // (domain, slug) rows: lower-case hosts without "www.", no domain a
    // "."-suffix of another.
    using AliasTable = std::vector<std::pair<QString, QString>>;

    BrandIconLibrary() = delete;

    static const AliasTable &aliases();
    // The slug of `link`'s site: its host (lower case, one leading "www."
    // dropped) exactly, else the first domain the host is a subdomain of.
    static std::optional<QString> slug(const SavedLink &link);
    static std::optional<QString> slugForHost(const QString &host);
    // Where the icon of `slug` is, when it exists.
    static std::optional<QUrl> iconURL(const QString &slug);
    // The brand image for `link`, or a null image. A failed load is not
    // remembered, so the next call looks again.
    static QImage image(const SavedLink &link);

    // Replaces the alias table and empties the image cache (tests).
    static void setAliases(AliasTable table);

    // Loaded images are this many pixels on their longer side.
    static constexpr int imageSize = 256;
};

} // namespace kolu
