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

// Pictures of the rings drawn per cycle. The motion repeats every cycle,
// so these are all it ever shows: about 7 a second, in which a ring's edge
// moves on by 2.75 points and its opacity by 0.09. Each picture shown costs
// a paint, a round trip to the X server and, under a compositor, a blend of
// the rings' box; at twice the rate an alert that stays up for hours cost
// the program and the display server about twice as much.
inline constexpr int framesPerCycle = 8;

// The three rings at `seconds` on any steady clock.
std::array<RingFrame, 3> framesAt(double seconds);
// The three rings at `phase` cycles (only its fraction counts).
std::array<RingFrame, 3> framesAtPhase(double phase);
// Which of the framesPerCycle pictures shows at `seconds`.
int pictureAt(double seconds);
// The phase that picture `index` shows.
double phaseOfPicture(int index);
// The box every ring stays in, strokes and their softening included.
QSizeF outerSize();

} // namespace rings

} // namespace kolu
