#pragma once

#include "GalleryViews.h"

#include "style/GlassTier.h"

#include <QImage>
#include <QPoint>

#include <functional>

namespace kolu::gallery {

// Pictures are drawn at this device pixel ratio.
inline constexpr qreal kDpr = 2;

struct Look {
    const char *theme;
    const char *mode;
};
inline constexpr Look kLooks[] = {{"default", "light"},  {"default", "dark"},    {"flatOlive", "light"},
                                  {"flatOlive", "dark"}, {"activeDark", "dark"}, {"heroLight", "light"}};

struct Tier {
    GlassTier tier;
    const char *name;
};
inline constexpr Tier kTiers[] = {
    {GlassTier::blurred, "blurred"}, {GlassTier::translucent, "translucent"}, {GlassTier::opaque, "opaque"}};

// What every drawing process sets up once: still motion, the program's
// window icon, its display font and its menus.
void prepareApplication();

// The wallpaper every picture sits over.
QImage wallpaper();

// Where on the wallpaper the picture of a view in `look` and `tier`, `pixels`
// large, is taken from: each look and tier over another part.
QPoint wallpaperOrigin(int look, int tier, const QSize &pixels, const QImage &wallpaper);

// The view built, laid out and drawn at kDpr over `wallpaper` from `origin`
// as the desktop shows it (blurred under the glass in the blurred tier).
// `inspect`, when given, sees the built widget before it is dropped.
QImage renderView(const View &view, OrlixStyle &style, qreal scale, const QImage &wallpaper, const QPoint &origin,
                  const std::function<void(QWidget &)> &inspect = {});

} // namespace kolu::gallery
