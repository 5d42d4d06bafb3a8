#pragma once

#include "model/Enums.h"

#include <functional>

class QWidget;
class QWidget;

namespace kolu::gallery {

// A module's card as the running program shows it: built by the real detail
// panel, at the panel's own size (318 x 500 at the standard rail size), so
// the card gets the width users see. `setup` runs on the card once it is
// built (to open a composer, say).
QWidget *inDetailPanel(RailModule module, const std::function<void(QWidget *card)> &setup = {});

// Draws `menu`, a popup of its own in the running program, inside the
// picture of `panel`, just below `anchor`, where it opens.
void showMenuInPicture(QWidget *panel, QWidget *anchor, QWidget *menu);

// Runs `then` once `panel` has been shown, after every card inside it has
// answered its own showing (to put the state in place the card would have
// asked for, say).
void afterShown(QWidget *panel, std::function<void()> then);

// The panel's size at the standard rail size.
inline constexpr int kDetailPanelWidth = 318;
inline constexpr int kDetailPanelHeight = 500;

} // namespace kolu::gallery
