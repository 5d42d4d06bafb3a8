#include "shell/RailPlace.h"

namespace kolu {

QRect RailPlace::content(const QRect &window) const
{
    const QRect whole(QPoint(), window.size());
    // A slide shows part of a window the content fills; at rest the content
    // takes the rail's frame within the window.
    if (isSliding())
        return whole;
    return rest.translated(-window.topLeft()) & whole;
}

QRegion RailPlace::toWindow(const QRegion &region, const QRect &window) const
{
    return region.translated(content(window).topLeft()) & QRegion(shown(window));
}

QRect RailPlace::onScreen(const QRect &window) const
{
    if (reveal)
        return reveal->translated(window.topLeft());
    return slideMovesWindow ? window : rest;
}

} // namespace kolu
