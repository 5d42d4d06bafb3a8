#pragma once

#include <QRgb>
#include <QString>

#include <utility>
#include <vector>

namespace kolu::brandicons {

// (domain, slug) rows: lower-case hosts without "www.", no domain a
// "."-suffix of another.
using AliasTable = std::vector<std::pair<QString, QString>>;
// (slug, brand colour) rows, one per icon.
using ColorTable = std::vector<std::pair<QString, QRgb>>;

// The sites that get a brand icon.
AliasTable shippedAliases();
// Each icon's brand colour, as the icon package lists it. The build installs
// the icon file of every slug named here.
ColorTable shippedColors();

} // namespace kolu::brandicons
