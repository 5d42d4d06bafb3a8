#include "style/ModuleTint.h"

#include <array>

namespace kolu {

namespace {

struct Rgb {
    float r, g, b;
};

// Columns: default, flatOlive, activeDark; rows in RailModule order.
constexpr std::array<std::array<Rgb, 3>, 10> kTints{{
    /* today */ {{{1, 0.68f, 0.24f}, {0.56f, 0.665f, 0.315f}, {1, 0.725f, 0.26f}}},
    /* calendar */ {{{0.38f, 0.65f, 1}, {0.56f, 0.665f, 0.315f}, {1, 0.315f, 0.095f}}},
    /* prayers */ {{{0.38f, 0.72f, 0.92f}, {0.42f, 0.65f, 0.83f}, {0.52f, 0.78f, 1}}},
    /* notes */ {{{0.24f, 0.83f, 0.76f}, {0.57f, 0.72f, 0.36f}, {0.32f, 0.86f, 0.36f}}},
    /* focus */ {{{1, 0.62f, 0.3f}, {0.965f, 0.79f, 0.3f}, {1, 0.725f, 0.26f}}},
    /* links */ {{{0.36f, 0.77f, 0.9f}, {0.93f, 0.56f, 0.745f}, {0.61f, 0.71f, 0.95f}}},
    /* fileTray */ {{{0.64f, 0.72f, 1}, {0.65f, 0.78f, 0.95f}, {0.32f, 0.86f, 0.36f}}},
    /* wallpapers */ {{{0.68f, 0.84f, 0.42f}, {0.56f, 0.665f, 0.315f}, {1, 0.315f, 0.095f}}},
    /* reminders */ {{{0.36f, 0.82f, 0.46f}, {0.72f, 0.87f, 0.67f}, {0.32f, 0.86f, 0.36f}}},
    /* nowPlaying */ {{{1, 0.82f, 0.12f}, {0.965f, 0.79f, 0.3f}, {1, 0.725f, 0.26f}}},
}};

} // namespace

QColor moduleTint(RailModule module, OrlixTheme theme, const QColor &heroColor)
{
    if (theme == OrlixTheme::heroLight)
        return heroColor;
    const std::size_t row = static_cast<std::size_t>(module);
    if (row >= kTints.size())
        return heroColor;
    const std::size_t column = theme == OrlixTheme::flatOlive ? 1 : theme == OrlixTheme::activeDark ? 2 : 0;
    const Rgb &c = kTints[row][column];
    return QColor::fromRgbF(c.r, c.g, c.b, 1.0f);
}

} // namespace kolu
