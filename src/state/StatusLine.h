#pragma once

#include "state/StatusTint.h"

#include <QString>

namespace kolu {

// A module's status line: the sentence and its colour, published as one
// field, so a view showing it never pairs a new sentence with the old colour
// and redraws once.
struct StatusLine {
    QString message;
    StatusTint tint = StatusTint::secondary;

    friend bool operator==(const StatusLine &, const StatusLine &) = default;
};

} // namespace kolu
