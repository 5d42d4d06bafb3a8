#pragma once

#include <QWidget>

namespace kolu {

// Repaints `widget` whenever the current style changes (theme, scheme, hero
// colour, glass tier). Every kit widget calls this once in its constructor.
void repaintOnStyleChange(QWidget *widget);

} // namespace kolu
