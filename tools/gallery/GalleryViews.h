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

// A view's logical size: fixed at s = 1 (and grown with s for views that
// scale), or worked out for each s the way the program sizes its window.
class ViewSize {
public:
    ViewSize(int width, int height)
        : m_fixed(width, height)
    {
    }
    ViewSize(QSize fixed)
        : m_fixed(fixed)
    {
    }
    explicit ViewSize(std::function<QSize(qreal scale)> at)
        : m_at(std::move(at))
    {
    }

    QSize at(qreal scale, bool scaled) const
    {
        if (m_at)
            return m_at(scale);
        return scaled ? (QSizeF(m_fixed) * scale).toSize() : m_fixed;
    }

private:
    QSize m_fixed;
    std::function<QSize(qreal)> m_at;
};

// One picture of the gallery: a name (file names), its logical size,
// whether it changes with s (rail layouts) and how to build it.
struct View {
    const char *name;
    ViewSize size;
    bool scaled;
    std::function<QWidget *(const Context &)> make;

    QSize logicalSize(qreal scale) const { return size.at(scale, scaled); }
};

// Every view, in the order the gallery draws them. Adding one is one entry.
const std::vector<View> &views();

} // namespace gallery
} // namespace kolu
