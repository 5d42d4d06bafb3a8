#pragma once

#include "model/Enums.h"

#include <functional>

class QWidget;

namespace kolu::gallery {

// A module's card as the running program shows it: built by the real detail
// panel, at the panel's own size (318 x 500 at the standard rail size), so
// the card gets the width users see. `setup` runs on the card once it is
// built (to open a composer, say).
QWidget *inDetailPanel(RailModule module, const std::function<void(QWidget *card)> &setup = {});

// The panel's size at the standard rail size.
inline constexpr int kDetailPanelWidth = 318;
inline constexpr int kDetailPanelHeight = 500;

} // namespace kolu::gallery
