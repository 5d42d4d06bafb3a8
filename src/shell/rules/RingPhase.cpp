#include "shell/rules/RingPhase.h"

#include <cmath>

namespace kolu::rings {

std::array<RingFrame, 3> framesAt(double seconds)
{
    const double phase = seconds * cyclesPerSecond;
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

} // namespace kolu::rings
