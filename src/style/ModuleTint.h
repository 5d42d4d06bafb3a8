#pragma once

#include "model/Enums.h"
#include "style/Theme.h"

#include <QColor>

namespace kolu {

// A module's accent colour under `theme`: under heroLight every module takes
// the hero colour; otherwise a fixed sRGB colour per module and theme, the
// same in light and dark appearance.
QColor moduleTint(RailModule module, OrlixTheme theme, const QColor &heroColor);

} // namespace kolu
