#pragma once

#include "state/StatusTint.h"

#include <QColor>

namespace kolu {

// The colour of a card's status line; `accent` is the module's own tint.
// Readable on the light surfaces in light appearance.
QColor statusTintColor(StatusTint tint, const QColor &accent);

} // namespace kolu
