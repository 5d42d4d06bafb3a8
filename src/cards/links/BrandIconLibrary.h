#pragma once

#include "cards/links/BrandIconTable.h"
#include "model/Records.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <utility>
#include <vector>

namespace kolu {

// Finds the brand icon of a saved link's site among the SVG files that ship
// with the program (in "BrandIcons" beside it, or in share/kolu once
// installed; from a source checkout,
// "Resources/BrandIcons/<slug>.svg" below the current folder), loads each
// once and keeps it for the life of the process. Used from the main thread.
//
// The icons are single paths without a fill, drawn in black: the tile tints
// them with their brand colour. The table of sites is in BrandIconTable.cpp.
class BrandIconLibrary {
public:
    using AliasTable = brandicons::AliasTable;

    BrandIconLibrary() = delete;

    static const AliasTable &aliases();
    // The slug of `link`'s site: its host (lower case, one leading "www."
    // dropped) exactly, else the first domain the host is a subdomain of.
    static std::optional<QString> slug(const SavedLink &link);
    static std::optional<QString> slugForHost(const QString &host);
    // The folders searched for icons, in order.
    static QStringList iconFolders();
    // The folders a program in `programFolder` ships its icons in.
    static QStringList iconFoldersFor(const QString &programFolder);
    // Where the icon of `slug` is, when it exists.
    static std::optional<QUrl> iconURL(const QString &slug);
    // The brand colour of `slug`'s icon, when the table lists one.
    static std::optional<QColor> brandColor(const QString &slug);
    // The brand image for `link`, or a null image. A failed load is not
    // remembered, so the next call looks again.
    static QImage image(const SavedLink &link);

    // Replaces the alias table and empties the image cache (tests);
    // resetAliases() brings back the shipped table.
    static void setAliases(AliasTable table);
    static void resetAliases();

    // Loaded images are this many pixels on their longer side.
    static constexpr int imageSize = 256;
};

} // namespace kolu
