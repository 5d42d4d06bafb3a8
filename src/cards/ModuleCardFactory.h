#pragma once

#include "model/Enums.h"

class QWidget;

namespace kolu {

class AppState;

// Builds the card the detail panel shows for `module`, or returns null while
// that module has no card: the panel then shows its header alone. The card
// reads and acts on `state` only; it is owned by `parent`.
QWidget *createModuleCard(RailModule module, AppState &state, QWidget *parent = nullptr);

} // namespace kolu
