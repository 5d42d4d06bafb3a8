#pragma once

#include <QSize>
#include <QWidget>

#include <functional>
#include <vector>

namespace kolu {

class OrlixStyle;

namespace gallery {

// What a view factory gets: the rail's scale factor s and the style the
// view is drawn in (theme, appearance and glass tier already set).
struct Context {
    qreal scale = 1;
    OrlixStyle &style;
};

// One picture of the gallery: a name (file names), its logical size at
// s = 1, whether it changes with s (rail layouts) and how to build it.
struct View {
    const char *name;
    QSize size;
    bool scaled;
    std::function<QWidget *(const Context &)> make;
};

// Every view, in the order the gallery draws them. Adding one is one entry.
const std::vector<View> &views();

} // namespace gallery
} // namespace kolu
