#pragma once

#include <qcoro/qcorotask.h>

namespace kolu {

// The mute switch of the default sound output.
class OutputMute {
public:
    virtual ~OutputMute();

    // Whether the default output is muted; false when that cannot be known.
    virtual QCoro::Task<bool> isMuted() = 0;

    // Flips the default output's mute. Never fails visibly.
    virtual QCoro::Task<> toggle() = 0;
};

} // namespace kolu
