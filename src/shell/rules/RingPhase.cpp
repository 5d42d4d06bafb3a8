#include "shell/rules/RingPhase.h"

#include <algorithm>
#include <cmath>

namespace kolu::rings {

std::array<RingFrame, 3> framesAt(double seconds)
{
    return framesAtPhase(seconds * cyclesPerSecond);
}

std::array<RingFrame, 3> framesAtPhase(double phase)
{
    std::array<RingFrame, 3> frames{};
    for (int i = 0; i < 3; ++i) {
        const double shifted = phase + ringSpacing * i;
        const double f = shifted - std::floor(shifted);
        frames[static_cast<size_t>(i)] = RingFrame{
            QSizeF(56.0 + 44.0 * f, 50.0 + 36.0 * f),
            22.0 + 12.0 * f,
            0.72 * (1.0 - f),
            0.18 * f,
        };
    }
    return frames;
}

int pictureAt(double seconds)
{
    const double phase = seconds * cyclesPerSecond;
    const auto index = static_cast<int>(std::floor((phase - std::floor(phase)) * framesPerCycle));
    // A fraction a hair below one rounds up to a whole cycle.
    return std::clamp(index, 0, framesPerCycle - 1);
}

double phaseOfPicture(int index)
{
    return static_cast<double>(index) / framesPerCycle;
}

QSizeF outerSize()
{
    // The largest ring, its widest softened stroke on either side, and a
    // pixel of antialiasing.
    const double stroke = lineWidth + 0.18 * 2;
    return {100.0 + stroke + 2, 86.0 + stroke + 2};
}

} // namespace kolu::rings
