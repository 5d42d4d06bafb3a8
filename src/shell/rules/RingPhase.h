#pragma once

#include <QSizeF>

#include <array>

namespace kolu {

// One of the three rings that grow out of an alert's tile and fade.
struct RingFrame {
    QSizeF size;         // from 56 x 50 to 100 x 86
    double cornerRadius; // from 22 to 34
    double opacity;      // 0.72 fading to 0
    double blur;         // 0 to 0.18
};

namespace rings {

inline constexpr double cyclesPerSecond = 0.92;
inline constexpr double ringSpacing = 0.26; // of a cycle
inline constexpr double lineWidth = 1.55;

// The three rings at `seconds` on any steady clock.
std::array<RingFrame, 3> framesAt(double seconds);

} // namespace rings

} // namespace kolu
